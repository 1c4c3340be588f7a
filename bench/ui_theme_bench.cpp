// Costs of the UI toolkit's core: building a UI context (font baking) and one headless themed frame.
#include "ui/theme_draw.h"
#include "ui/ui_context.h"

#include <benchmark/benchmark.h>

namespace {

// Builds a context and bakes its fonts at the display scale given as the argument (in percent).
void BM_UiContextBuild(benchmark::State& state) {
  const float displayScale = static_cast<float>(state.range(0)) / 100.0f;
  for (auto _ : state) {
    tarn::ui::UiContext ui;
    tarn::ui::setDisplayScale(ui, displayScale);
    benchmark::DoNotOptimize(ui.atlasGeneration());
    ImGui::SetCurrentContext(nullptr);
  }
}
BENCHMARK(BM_UiContextBuild)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// One 900 x 950 frame of the theme alone: background tiles, six cards' shadows and gradients, the glow.
void BM_ThemedFrame(benchmark::State& state) {
  tarn::ui::UiContext ui;
  tarn::ui::ContextScope scope(ui);
  ImGuiIO& io = ImGui::GetIO();
  io.DisplaySize = ImVec2(900.0f, 950.0f);
  io.DeltaTime = 1.0f / 60.0f;
  const tarn::ui::GradientStop stops[] = {{0.0f, 0xCC1C2A14}, {0.12f, 0xCC151F0F}, {1.0f, 0xCC0C1309}};
  for (auto _ : state) {
    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##tarn.root", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoBackground);
    ImDrawList* list = ImGui::GetWindowDrawList();
    tarn::ui::drawBackground(list, tarn::ui::Rect{0, 0, 900, 950});
    for (int i = 0; i < 6; ++i) {
      const tarn::ui::Rect card{25.0f, 25.0f + 150.0f * static_cast<float>(i), 850.0f, 140.0f};
      tarn::ui::drawPanelShadow(list, card, 0.45f, 2.0f);
      tarn::ui::fillGradientRoundRect(list, card, 8.0f, stops, 3);
    }
    tarn::ui::drawLightGlow(list, tarn::ui::Rect{0, 0, 900, 950});
    ImGui::End();
    ImGui::Render();
    benchmark::DoNotOptimize(ImGui::GetDrawData()->TotalVtxCount);
  }
  ImGui::SetCurrentContext(nullptr);
}
BENCHMARK(BM_ThemedFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
