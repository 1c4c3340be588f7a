// The renderer hook that switches the light glow's draws to additive blending.
#include "ui/host/additive_blend.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

namespace tarn::ui {
namespace {

void additiveBlend(const ImDrawList*, const ImDrawCmd*) {
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
}

}  // namespace

ImDrawCallback additiveBlendHook() { return &additiveBlend; }

}  // namespace tarn::ui
