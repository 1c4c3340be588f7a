// How the header's rows share out their width: what gives way, in which order, when they are narrow.
#pragma once

#include <cstddef>
#include <vector>

namespace tarn::ui {

// The natural widths of the first row's pieces, in px; 0 for a piece that is not there. A gap follows
// each piece at the left (the menu, label, document bar and undo and redo).
struct FirstRowWidths {
    float menu = 0.0f;
    float menuIconOnly = 0.0f;  // the menu button without its name
    float label = 0.0f;
    float document = 0.0f;
    float documentShort = 0.0f;      // a long name is cut to this before the status gives way
    float documentFloor = 0.0f;      // it narrows to this before undo and redo go
    float documentNarrowest = 0.0f;  // narrower than this it shows nothing
    float undoRedo = 0.0f;           // both buttons and the space between them
    float status = 0.0f;
    float statusNarrowest = 0.0f;  // narrower than this it is left out
    float room = 0.0f;             // kept free beside the status
    float captionButton = 0.0f;    // one of them
    int captionButtons = 0;
    float gap = 0.0f;
};

// The pieces that fit in `width` px, each whole (0 when left out). Until everything fits, in this
// order: a long document name is cut short; the status narrows, then goes; the label goes; the room
// beside the status goes; the menu button loses its name; the document bar narrows to its floor; undo
// and redo go; the document bar narrows to its narrowest, then goes; the caption buttons go one by one
// (Close last); the menu button goes. Each step takes no more than it must, so a wider row never shows
// less.
FirstRowWidths fitFirstRow(const FirstRowWidths& natural, float width);

// The second row's pieces, in px: the page tabs at the left, the caller's free area, the transport at
// the right; a gap between any two. Where they cannot share the row the transport takes a row of its own
// under it.
struct SecondRowWidths {
    float tabs = 0.0f;             // 0: no tabs
    float tabsWholeTitles = 0.0f;  // the narrowest with every title whole
    float tabsCutTitles = 0.0f;    // the narrowest with every tab, titles cut
    float area = 0.0f;             // what the caller needs of the free area; 0: nothing
    // The transport's widths as it leaves out one part after another, widest first, play alone last;
    // empty: no transport.
    std::vector<float> transport;
    size_t transportStep = 0;     // the width chosen; transport.size() when it is left out
    bool transportBelow = false;  // on a row of its own under the second
    float gap = 0.0f;
};

// The transport's chosen width; 0 when it is left out.
float transportWidth(const SecondRowWidths& row);

// The pieces that fit in `width` px. Until everything fits, in this order: the tabs' margins narrow;
// the transport moves to a row of its own, where it is whole as long as the row is as wide as it and
// leaves out its parts down to play alone only in a narrower one; the area goes (the caller's piece in
// it is left out); the tabs' titles are cut; what remains goes to the tabs, which leave out those that
// still do not fit. A wider row never shows less.
SecondRowWidths fitSecondRow(const SecondRowWidths& natural, float width);

}  // namespace tarn::ui
