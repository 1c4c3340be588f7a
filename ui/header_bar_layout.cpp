// The header's rows: their pieces give way one step at a time until they fit.
#include "ui/header_bar_layout.h"

#include <algorithm>

namespace tarn::ui {
namespace {

float withGap(float w, float gap) { return w > 0.0f ? w + gap : 0.0f; }

float total(const FirstRowWidths& r) {
    return withGap(r.menu, r.gap) + withGap(r.label, r.gap) + withGap(r.document, r.gap) + withGap(r.undoRedo, r.gap) +
           r.room + r.status + r.captionButton * static_cast<float>(r.captionButtons);
}

float total(const SecondRowWidths& r) {
    const float transport = r.transportBelow ? 0.0f : transportWidth(r);
    float sum = r.tabs;
    for (const float w : {r.area, transport})
        if (w > 0.0f) sum += (sum > 0.0f ? r.gap : 0.0f) + w;
    return sum;
}

}  // namespace

float transportWidth(const SecondRowWidths& r) {
    return r.transportStep < r.transport.size() ? r.transport[r.transportStep] : 0.0f;
}

FirstRowWidths fitFirstRow(const FirstRowWidths& natural, float width) {
    FirstRowWidths r = natural;
    const auto over = [&] { return total(r) - width; };
    // Narrows w towards `to` by what is still too much.
    const auto narrow = [&](float& w, float to) {
        if (w > 0.0f && over() > 0.0f) w = std::max(w - over(), std::min(w, to));
    };
    const auto drop = [&](float& w) {
        if (over() > 0.0f) w = 0.0f;
    };

    narrow(r.document, r.documentShort);
    narrow(r.status, r.statusNarrowest);
    drop(r.status);
    drop(r.label);
    narrow(r.room, 0.0f);
    if (r.menu > 0.0f && over() > 0.0f) r.menu = std::min(r.menu, r.menuIconOnly);
    narrow(r.document, r.documentFloor);
    drop(r.undoRedo);
    narrow(r.document, r.documentNarrowest);
    drop(r.document);
    while (r.captionButtons > 0 && over() > 0.0f) --r.captionButtons;
    drop(r.menu);
    return r;
}

SecondRowWidths fitSecondRow(const SecondRowWidths& natural, float width) {
    SecondRowWidths r = natural;
    const auto over = [&] { return total(r) - width; };
    const auto narrowTabs = [&](float to) {
        if (r.tabs > 0.0f && over() > 0.0f) r.tabs = std::max(r.tabs - over(), std::min(r.tabs, to));
    };
    narrowTabs(r.tabsWholeTitles);
    if (!r.transport.empty() && over() > 0.0f) {
        // The row it leaves gives the tabs back their margins as far as it can.
        r.transportBelow = true;
        r.tabs = natural.tabs;
        narrowTabs(r.tabsWholeTitles);
        while (r.transportStep < r.transport.size() && r.transport[r.transportStep] > width) ++r.transportStep;
    }
    if (over() > 0.0f) r.area = 0.0f;
    narrowTabs(r.tabsCutTitles);
    if (r.tabs > 0.0f && over() > 0.0f) r.tabs = std::max(width, 0.0f);
    return r;
}

}  // namespace tarn::ui
