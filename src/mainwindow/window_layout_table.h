#pragma once

#include <span>

namespace kinetra {

// What a parameter field is on the window.
enum class FieldKind {
    Text, // entry box; the parameter catalogue says whether the user may edit it
    List, // selection list
};

// Where a group of fields sits: a frame on a tab of SSTab1, or one of the panels beside it.
enum class FrameArray { Para, Main };

// One parameter field with its label: the box txtPara(cmd) or the list cmbPara(cmd) and the
// label lblPara(cmd) with its design text. Fields appear in their frame in table order.
struct FieldSpec {
    FrameArray array;
    int frame;
    int cmd;
    const char* label; // nullptr: a box without label
    FieldKind kind;
    int lamp = -1; // lamp pair ledOn/ledOff(lamp) beside the field, -1 for none
};

// A frame of the tab control: framepara(index) with its design caption on tab `tab`, placed in
// column `column` of the tab page.
struct FrameSpec {
    int index;
    int tab;
    int column;
    const char* caption;
};

// The parameter fields of the main window, tab frames and side panels alike.
std::span<const FieldSpec> parameterFields();
// The frames of the tab pages.
std::span<const FrameSpec> tabFrames();
// Design captions of the seven tabs of SSTab1.
std::span<const char* const> tabCaptions();

// A picture button of the command array cmdComand with its design hint.
struct CommandButtonSpec {
    int index;
    const char* hint;
};
// The command buttons of the status frame, in their order on the window.
std::span<const CommandButtonSpec> statusCommandButtons();

// Design captions of lblObject(0)..(6).
std::span<const char* const> objectLabels();

} // namespace kinetra
