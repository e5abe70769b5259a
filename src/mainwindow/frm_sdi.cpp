// The main window's element operations: what the link, the live display and the language
// loader do to its widgets, looked up by (name, index). A missing element is a silent no-op.
#include "frm_sdi.h"

#include "about_window.h"
#include "classic_units.h"
#include "motion_timers.h"
#include "picture_icons.h"
#include "system_settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>

namespace kinetra {

namespace {

// What a screen reader should say for a caption: the text without its mnemonic markers.
QString spokenText(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

// A caption that grows must make room in every layout around it: Qt keeps cached size hints
// of the enclosing panels otherwise, and the longer text of a language gets clipped.
void makeRoom(QWidget* w)
{
    for (; w && !w->isWindow(); w = w->parentWidget())
        w->updateGeometry();
}

} // namespace

frmSDI::frmSDI(SharedState& state, SettingsStore& settings, Dialogs& dialogs, Clock& clock, QString programFolder,
               QWidget* parent)
    : QMainWindow(parent), state_(state), store_(settings), dialogs_(dialogs), clock_(clock),
      programFolder_(std::move(programFolder)), settings_(std::make_unique<SystemSettings>(settings))
{
    setObjectName(QStringLiteral("frmSDI"));
    setWindowTitle(QStringLiteral("Kinetra"));
    setWindowIcon(pictureIcon(QStringLiteral("kinetra")));
    buildWindow();
    connectHandlers();
    // Room for every page without scrolling, within the screen (a 1280 x 800 one included).
    QSize size = sizeHint().expandedTo(QSize(1200, 720));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize());
    resize(size);
}

frmSDI::~frmSDI() = default;

QWidget* frmSDI::element(const Element& e) const
{
    return elements_.value(e, nullptr);
}

QAbstractButton* frmSDI::commandButton(int index) const
{
    return cmdComand_.value(index, nullptr);
}

AboutWindow* frmSDI::splashWindow(int variant) const
{
    return variant == 1 ? splashOrven_ : splash_;
}

void frmSDI::setLabelText(QLabel* label, const QString& text)
{
    label->setText(text);
    if (QWidget* buddy = label->buddy())
        buddy->setAccessibleName(spokenText(text));
}

void frmSDI::setPictureHint(QWidget* button, const QString& hint)
{
    button->setToolTip(hint);
    button->setAccessibleName(hint);
}

// --- WindowElements ---

QString frmSDI::text(const Element& e) const
{
    QWidget* w = element(e);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* list = qobject_cast<QComboBox*>(w))
        return list->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return frame->title();
    return {};
}

void frmSDI::setText(const Element& e, const QString& t)
{
    QWidget* w = element(e);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        // The live polling sets most boxes to the value they already show; a line edit lays out
        // and repaints itself (and its frame) even then, and would lose the user's cursor.
        if (edit->text() == t)
            return;
        edit->setText(t);
        // Long texts (status messages) are read from their start.
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        setLabelText(label, t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(t);
    } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
        frame->setTitle(t);
    }
}

int frmSDI::selection(const Element& e) const
{
    auto* list = elementAs<QComboBox>(e);
    return list ? list->currentIndex() : -1;
}

void frmSDI::setSelection(const Element& e, int position)
{
    auto* list = elementAs<QComboBox>(e);
    if (list && position >= 0 && position < list->count())
        list->setCurrentIndex(position);
}

void frmSDI::setElementVisible(const Element& e, bool on)
{
    if (QWidget* w = element(e))
        w->setVisible(on);
}

void frmSDI::setElementEnabled(const Element& e, bool on)
{
    if (QWidget* w = element(e))
        w->setEnabled(on);
}

void frmSDI::setVisible(const Element& e, bool on)
{
    setElementVisible(e, on);
}

void frmSDI::setEnabled(const Element& e, bool on)
{
    setElementEnabled(e, on);
}

void frmSDI::setValue(const Element& e, int v)
{
    if (auto* bar = elementAs<QProgressBar>(e))
        bar->setValue(qBound(bar->minimum(), v, bar->maximum()));
}

void frmSDI::setMaximum(const Element& e, int v)
{
    if (auto* bar = elementAs<QProgressBar>(e))
        bar->setMaximum(qMax(v, bar->minimum()));
}

void frmSDI::setStatusText(int panel, const QString& t)
{
    if (auto* label = elementAs<QLabel>(Element{QStringLiteral("StatusBar1"), panel})) {
        label->setText(t);
        label->setAccessibleName(t);
    }
}

void frmSDI::setStatusBevel(int panel, Bevel bevel)
{
    if (auto* label = elementAs<QLabel>(Element{QStringLiteral("StatusBar1"), panel}))
        label->setFrameShadow(bevel == Bevel::Raised ? QFrame::Raised : QFrame::Sunken);
}

int frmSDI::currentTab() const
{
    auto* tabs = elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0});
    return tabs ? tabs->currentIndex() : -1;
}

void frmSDI::setHeight(const Element& e, int units)
{
    if (QWidget* w = element(e))
        w->resize(w->width(), qBound(0, classicUnits(this, units), QWIDGETSIZE_MAX));
}

void frmSDI::setTop(const Element& e, int units)
{
    if (QWidget* w = element(e))
        w->move(w->x(), classicUnits(this, units));
}

// --- LanguageTargets ---

void frmSDI::toolTextsLoaded()
{
    toolTexts_.apply(state_);
    for (auto it = marks_.cbegin(); it != marks_.cend(); ++it)
        showMarkHint(it.key());
    showChartTexts();
}

void frmSDI::setCaption(const Element& e, const QString& caption)
{
    QWidget* w = element(e);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        setLabelText(label, caption);
    } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
        frame->setTitle(caption);
        // The status box of the diagnostics page is labelled like the status frame.
        if (e == Element{QStringLiteral("frmMain"), 2})
            if (auto* status = elementAs<QLabel>(Element{QStringLiteral("lblPara1"), 2180}))
                setLabelText(status, caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(caption);
        if (button->icon().isNull())
            button->setAccessibleName(spokenText(caption));
    }
    makeRoom(w);
}

void frmSDI::setHint(const Element& e, const QString& hint)
{
    if (QWidget* w = element(e)) {
        setPictureHint(w, hint);
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && marks_.contains(button))
            showMarkHint(button);
    }
}

void frmSDI::clearItems(const Element& e)
{
    if (auto* list = elementAs<QComboBox>(e))
        list->clear();
}

void frmSDI::addItem(const Element& e, const QString& item)
{
    if (auto* list = elementAs<QComboBox>(e))
        list->addItem(item);
}

void frmSDI::setTag(const Element& e, const QString& tag)
{
    // The parameter number of a list, shown as its hover hint.
    if (QWidget* w = element(e)) {
        w->setProperty("tag", tag);
        w->setToolTip(tag);
    }
}

void frmSDI::setTabCaption(int tab, const QString& caption)
{
    auto* tabs = elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0});
    if (tabs && tab >= 0 && tab < tabs->count())
        tabs->setTabText(tab, caption);
}

} // namespace kinetra
