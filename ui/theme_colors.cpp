// The theme's colour table, 0xAARRGGBB per Dear ImGui colour entry.
#include "ui/theme_colors.h"

#include "ui/imgui_compat.h"

namespace tarn::ui {

std::span<const ThemeColor> themeColors() {
    // Three entries are blends towards white (mixColor): the frame base by 0.06 (FrameBgHovered) and
    // by 0.1 (FrameBgActive), and the accent by 0.2 (SliderGrabActive); their results are written out.
    static constexpr ThemeColor table[] = {
        {ImGuiCol_Text, 0xFFF0EED8},
        {ImGuiCol_TextDisabled, 0xFF5D5F4A},
        {ImGuiCol_WindowBg, 0x00000000},
        {ImGuiCol_ChildBg, 0x00000000},
        {ImGuiCol_PopupBg, 0xF21F2A15},
        {ImGuiCol_Border, 0xFF2A3520},
        {ImGuiCol_BorderShadow, 0x00000000},
        {ImGuiCol_FrameBg, 0xFF202C19},
        {ImGuiCol_FrameBgHovered, 0xFF2D3927},
        {ImGuiCol_FrameBgActive, 0xFF364130},
        {ImGuiCol_TitleBg, 0xFF1A2214},
        {ImGuiCol_TitleBgActive, 0xFF1A2214},
        {ImGuiCol_TitleBgCollapsed, 0xFF1A2214},
        {ImGuiCol_MenuBarBg, 0xFF1A2214},
        {ImGuiCol_ScrollbarBg, 0x00000000},
        {ImGuiCol_ScrollbarGrab, 0xFF3E5827},
        {ImGuiCol_ScrollbarGrabHovered, 0xFF5A8A1A},
        {ImGuiCol_ScrollbarGrabActive, 0xFF8DC63F},
        {ImGuiCol_CheckMark, 0xFF8DC63F},
        {ImGuiCol_SliderGrab, 0xFF8DC63F},
        {ImGuiCol_SliderGrabActive, 0xFFA4D165},
        {ImGuiCol_Button, 0xFF25331A},
        {ImGuiCol_ButtonHovered, 0xFF2F4121},
        {ImGuiCol_ButtonActive, 0xFF3E5827},
        {ImGuiCol_Header, 0xFF3E5827},
        {ImGuiCol_HeaderHovered, 0xFF2F4121},
        {ImGuiCol_HeaderActive, 0xFF3E5827},
        {ImGuiCol_Separator, 0xFF2A3520},
        {ImGuiCol_SeparatorHovered, 0xFF5A8A1A},
        {ImGuiCol_SeparatorActive, 0xFF8DC63F},
        {ImGuiCol_ResizeGrip, 0x00000000},
        {ImGuiCol_ResizeGripHovered, 0xFF5A8A1A},
        {ImGuiCol_ResizeGripActive, 0xFF8DC63F},
        {ImGuiCol_TabHovered, 0xFF2F4121},
        {ImGuiCol_Tab, 0xFF25331A},
        {compat::ColTabSelected, 0xFF3E5827},
        {ImGuiCol_PlotLines, 0xFF8DC63F},
        {ImGuiCol_PlotHistogram, 0xFF8DC63F},
        {ImGuiCol_TableHeaderBg, 0xFF1A2214},
        {ImGuiCol_TableBorderStrong, 0xFF2A3520},
        {ImGuiCol_TableBorderLight, 0x802A3520},
        {ImGuiCol_TextSelectedBg, 0x995A8A1A},
        {ImGuiCol_DragDropTarget, 0xFF8DC63F},
        {compat::ColNavCursor, 0xFF8DC63F},
        {ImGuiCol_ModalWindowDimBg, 0x99000000},
    };
    return table;
}

}  // namespace tarn::ui
