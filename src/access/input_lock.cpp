#include "input_lock.h"

#include "drive_protocol.h"
#include "shared_state.h"
#include "window_elements.h"

#include <initializer_list>

namespace kinetra {

namespace {

// Every parameter frame of the tabs but "Kommands" (11), "Test" (12) and "Debuging" (13). Frame
// 11 holds the service resets, which the login guards: locked, it would keep the login out of
// reach, and with it the only way to open the access frame while the tool is locked.
constexpr int kLastLockedFrame = 10;
constexpr int kLockCaptionMessage = 74;

Element E(const char* name, int index = 0)
{
    return Element{QString::fromLatin1(name), index};
}

void setAll(WindowElements& window, std::initializer_list<Element> elements, bool enabled)
{
    for (int frame = 0; frame <= kLastLockedFrame; ++frame)
        window.setEnabled(Element{QStringLiteral("framepara"), frame}, enabled);
    for (const Element& e : elements)
        window.setEnabled(e, enabled);
}

// Reference run, save and set reference change what the drive keeps.
const auto kDriveCommands = {command::kReferenceRun, command::kSave, command::kSetReference};

void setDriveCommands(WindowElements& window, bool enabled)
{
    for (const int index : kDriveCommands)
        window.setEnabled(Element{QStringLiteral("cmdComand"), index}, enabled);
}

QString lockedCaption(const SharedState& state)
{
    return QStringLiteral("Kinetra ") + state.message(kLockCaptionMessage);
}

} // namespace

QString applyInputLockChangeRule(WindowElements& window, const SharedState& state, bool locked)
{
    if (locked) {
        setAll(window, {E("cmdStop"), E("cmdData"), E("frmMain", 0), E("frmMain", 4)}, false);
        setDriveCommands(window, false);
        return lockedCaption(state);
    }
    setAll(window, {E("cmdTool"), E("cmdStop"), E("cmdData"), E("frameTool"), E("frmMain", 0), E("frmMain", 4)}, true);
    setDriveCommands(window, true);
    return QStringLiteral("Kinetra ");
}

QString applyInputLockStartRule(WindowElements& window, const SharedState& state, bool locked)
{
    if (locked) {
        // The access frame and the expert box stay disabled: only a login opens them.
        setAll(window, {E("cmdStop"), E("cmdData"), E("frmMain", 4)}, false);
        setDriveCommands(window, false);
        return lockedCaption(state);
    }
    setAll(window, {E("frameSecurity"), E("Check2"), E("cmdTool"), E("cmdStop"), E("cmdData"), E("frmMain", 0)}, true);
    setDriveCommands(window, true);
    return QStringLiteral("Kinetra");
}

} // namespace kinetra
