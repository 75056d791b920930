#include "gui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableView>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>
#include <exception>

#include "form/Layout.h"
#include "gui/FrameBox.h"
#include "gui/IconLabel.h"
#include "gui/ProfileWidget.h"
#include "gui/QtDialogs.h"
#include "gui/QtText.h"
#include "gui/SampleGridModel.h"
#include "gui/TabStrip.h"
#include "gui/Twips.h"
#include "gui/UpDown.h"

namespace vb::gui {
namespace {

/// Display text of a multi-line box: lines end with a line feed on screen, and
/// the end of the last line opens no empty one.
QString displayLines(std::string_view text) {
    QString lines = messageText(text);
    if (lines.endsWith(u'\n')) lines.chop(1);
    return lines;
}

Qt::Alignment horizontal(TextAlign align) {
    switch (align) {
        case TextAlign::centre:
            return Qt::AlignHCenter;
        case TextAlign::right:
            return Qt::AlignRight;
        case TextAlign::left:
            break;
    }
    return Qt::AlignLeft;
}

/// The window's font: the size of the classic 8-point dialog font at 96 dpi,
/// in a face of its width where the system has one, so that captions fit the
/// places the layout gives them.
constexpr int kWindowFontPixels = 10;
const QStringList kWindowFontFaces = {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                      QStringLiteral("Helvetica")};

/// Display text boxes: the document's margin, and the smallest text they
/// shrink their font to so that their text shows whole.
constexpr int kDisplayMargin = 2;
constexpr int kSmallestPixels = 8;

/// Labels lower than two lines of text show one line.
constexpr int kWrappingLabelTwips = 400;

/// Sample grid: the column widths and the row height of the table, in twips.
constexpr int kGridColumnTwips[] = {450, 510, 510};
constexpr int kGridRowTwips = 240;

void setLineText(QLineEdit* edit, const QString& text) {
    // Setting the same text would move the cursor to the end while the rider types.
    if (edit->text() != text) edit->setText(text);
}

void setItems(QListWidget* list, const std::vector<std::string>& items) {
    bool same = list->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < list->count(); ++i)
        same = list->item(i)->text() == qtText(items[static_cast<std::size_t>(i)]);
    if (same) return;
    list->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) texts << qtText(item);
    list->addItems(texts);
}

/// Hands the focus on before `widget` is disabled while it holds it: to the
/// next control of its page that takes the focus by Tab (after the last one,
/// the first). Left to Qt the focus would move on through the whole window,
/// and a text box reached that way has its text selected, ready to be
/// replaced by the next key.
void passFocusOn(QWidget* widget) {
    QWidget* focus = QApplication::focusWidget();
    if (focus != widget && !widget->isAncestorOf(focus)) return;
    QWidget* page = widget;
    while (!page->isWindow() && qobject_cast<TabStrip*>(page->parentWidget()) == nullptr)
        page = page->parentWidget();
    for (QWidget* next = widget->nextInFocusChain(); next != widget; next = next->nextInFocusChain()) {
        if (page->isAncestorOf(next) && !widget->isAncestorOf(next) && next->isEnabled() && next->isVisible() &&
            (next->focusPolicy() & Qt::TabFocus) != 0) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    focus->clearFocus();
}

/// The height in pixels that `text` takes in a plain text box `width`
/// pixels wide: each line of the text is a block of wrapped rows, leading
/// included, rounded up to whole pixels, and the document's margin is above
/// and below.
int plainTextHeight(const QString& text, const QFont& font, int width) {
    qreal height = 2 * kDisplayMargin;
    for (const QString& line : text.split(u'\n')) {
        QTextLayout layout(line, font);
        layout.beginLayout();
        qreal block = 0;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLeadingIncluded(true);
            row.setLineWidth(width - 2 * kDisplayMargin);
            block += row.height();
        }
        layout.endLayout();
        height += std::ceil(block);
    }
    return static_cast<int>(std::ceil(height));
}

/// Shows `text` whole in a display box, without a scroll bar: in the window's
/// font, or where its face has taller lines than the layout was made for, in
/// the same face a pixel smaller at a time.
void showWhole(QPlainTextEdit* box, const QString& text, QFont font) {
    const QSize room = box->contentsRect().size();
    int pixels = QFontInfo(font).pixelSize();
    while (pixels > kSmallestPixels && plainTextHeight(text, font, room.width()) >= room.height())
        font.setPixelSize(--pixels);
    box->setFont(font);
    box->setPlainText(text);  // (a new font alone leaves the scroll range as it was)
}

/// Lists in a fixed-pitch font have it at the size of the window's, so that
/// their lines fit as the layout intends.
QFont fixedPitchFont(const QFont& windowFont) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(QFontInfo(windowFont).pixelSize());
    return fixed;
}

QTableView* makeGrid(SampleGridModel* model, QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QHeaderView* rows = grid->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(px(kGridRowTwips));
    QHeaderView* columns = grid->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setHighlightSections(false);
    columns->setMinimumSectionSize(1);
    columns->setFixedHeight(px(kGridRowTwips) + 2);
    for (int c = 0; c < 3; ++c) columns->resizeSection(c, px(kGridColumnTwips[c]));
    columns->setStretchLastSection(true);
    return grid;
}

}  // namespace

MainWindow::MainWindow(QtDialogs& dialogs, SettingsLocation settingsLocation, QWidget* parent)
    : QWidget(parent), m_form(dialogs, std::move(settingsLocation)), m_dialogs(dialogs) {
    m_dialogs.setParentWidget(this);
    QFont windowFont = font();
    windowFont.setFamilies(kWindowFontFaces + windowFont.families());
    windowFont.setPixelSize(kWindowFontPixels);
    setFont(windowFont);
    setWindowIcon(programIcon());
    setFixedSize(clientSize());
    build();
    runEvent([](MainForm& form) { form.Form_Load(); });
    // A start-up that changes nothing still has to show the model's first state.
    syncAll();
}

MainWindow::~MainWindow() {
    m_dialogs.setParentWidget(nullptr);
    // The widgets read the model while they go (a header asks for its titles
    // when hidden), so they go first, while the model is still there.
    hide();
    qDeleteAll(findChildren<QObject*>(Qt::FindDirectChildrenOnly));
}

QSize MainWindow::clientSize() { return {px(MainForm::kClientWidth), px(MainForm::kClientHeight)}; }

void MainWindow::runEvent(const std::function<void(MainForm&)>& event) {
    // One operation at a time: an event that arrives while another one waits
    // in a message box is dropped, as the modal box would have kept it out.
    if (m_eventRunning) return;
    m_eventRunning = true;
    try {
        event(m_form);
    } catch (const std::exception& e) {
        // Nothing thrown may reach Qt's event loop; the rider learns of it instead.
        m_dialogs.showMessage(kTitleApp, e.what(), MessageIcon::critical);
    }
    m_eventRunning = false;
    catchUp();
}

void MainWindow::importRide(const std::filesystem::path& path) {
    runEvent([&path](MainForm& form) { form.importRide(path); });
}

void MainWindow::whenShown(std::function<void()> action) {
    m_whenShown.push_back(std::move(action));
    if (windowHandle() != nullptr && windowHandle()->isExposed())
        QTimer::singleShot(0, this, &MainWindow::runWhenShown);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    // The widgets that have the window's font at another size or pitch follow it.
    const std::vector<Control>& controls = m_form.controls();
    for (const Binding& binding : m_bindings) {
        if (auto* box = qobject_cast<QPlainTextEdit*>(binding.widget))
            showWhole(box, box->toPlainText(), font());
        else if (controls[binding.index].fixedPitch)
            binding.widget->setFont(fixedPitchFont(font()));
    }
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The first paint comes when the window is on the screen and placed
    // there; what waits for it runs after the paint.
    if (!m_whenShown.empty()) QTimer::singleShot(0, this, &MainWindow::runWhenShown);
}

void MainWindow::runWhenShown() {
    std::vector<std::function<void()>> actions;
    actions.swap(m_whenShown);
    for (const auto& action : actions) action();
}

QWidget* MainWindow::widgetFor(std::string_view id) const {
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? nullptr : m_bindings[found->second].widget;
}

UpDown* MainWindow::upDownFor(std::string_view id) const {
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? nullptr : m_bindings[found->second].upDown;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        runEvent([](MainForm& form) { form.Form_Unload(); });
    }
    event->accept();
}

void MainWindow::build() {
    const std::vector<Control>& controls = m_form.controls();
    m_bindings.resize(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& control = controls[i];
        Binding& binding = m_bindings[i];
        binding.index = i;
        binding.widget = createWidget(control, containerFor(control.parent), binding);
        m_byId.emplace(control.id, i);
        connectWidget(control, binding);
    }
}

QWidget* MainWindow::containerFor(const std::string& parentId) const {
    if (parentId.empty()) return const_cast<MainWindow*>(this);
    QWidget* parent = widgetFor(parentId);
    return parent ? parent : const_cast<MainWindow*>(this);
}

namespace {

// One maker per control kind. A maker that needs the widget placed otherwise
// than the control's rectangle says so through `geometry`.

QWidget* makeTabPage(const Control& c, QWidget* parent, const QRect& geometry) {
    auto* page = new QWidget(parent);
    page->setGeometry(geometry);
    if (auto* strip = qobject_cast<TabStrip*>(parent)) strip->addPage(page, c.value);
    return page;
}

QWidget* makeLabel(const Control& c, QWidget* parent) {
    auto* label = c.icon ? new IconLabel(parent) : new QLabel(parent);
    label->setAlignment(horizontal(c.align) | Qt::AlignTop);
    label->setWordWrap(c.rect.height >= kWrappingLabelTwips);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* makeTextBox(const Control& c, QWidget* parent) {
    if (!c.multiLine) {
        auto* edit = new QLineEdit(parent);
        if (c.maxLength > 0) edit->setMaxLength(c.maxLength);
        edit->setReadOnly(c.readOnly);
        edit->setAlignment(horizontal(c.align) | Qt::AlignVCenter);
        return edit;
    }
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setFrameShape(QFrame::NoFrame);
    box->document()->setDocumentMargin(kDisplayMargin);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (c.faceColour) {
        QPalette colours = box->palette();
        colours.setColor(QPalette::Base, colours.color(QPalette::Window));
        box->setPalette(colours);
    }
    return box;
}

// The box's width includes its arrows, which take its right end.
QWidget* makeNumberBox(const Control& c, QWidget* parent, QRect& geometry, UpDown*& upDown) {
    auto* edit = new QLineEdit(parent);
    if (c.maxLength > 0) edit->setMaxLength(c.maxLength);
    edit->setAlignment(horizontal(c.align) | Qt::AlignVCenter);
    const int arrows = px(c.rect.left + c.rect.width) - px(c.rect.left + c.rect.width - kSpinnerWidth);
    upDown = new UpDown(parent);
    upDown->setGeometry(geometry.right() + 1 - arrows, geometry.top(), arrows, geometry.height());
    geometry.setWidth(geometry.width() - arrows);
    return edit;
}

QWidget* makeOptionButton(QWidget* parent) {
    auto* option = new QRadioButton(parent);
    option->setAutoExclusive(false);  // the model keeps the options of a frame exclusive
    return option;
}

QWidget* makeList(const Control& c, QWidget* parent, const QFont& base) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    if (c.fixedPitch) list->setFont(fixedPitchFont(base));
    return list;
}

QWidget* makeSlider(QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setTracking(true);
    return slider;
}

QWidget* makeSeparator(const Control& c, QWidget* parent, QRect& geometry) {
    auto* line = new QFrame(parent);
    const bool across = c.rect.height == 0;
    line->setFrameShape(across ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    geometry = across ? QRect(geometry.left(), geometry.top() - 1, geometry.width(), 2)
                      : QRect(geometry.left() - 1, geometry.top(), 2, geometry.height());
    return line;
}

QWidget* makeOutline(QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setFrameStyle(QFrame::Box | QFrame::Plain);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    return box;
}

}  // namespace

QWidget* MainWindow::makeWidget(const Control& c, QWidget* parent, QRect& geometry, Binding& binding) {
    switch (c.kind) {
        case ControlKind::tabStrip: return new TabStrip(parent);
        case ControlKind::tabPage: return makeTabPage(c, parent, geometry);
        case ControlKind::frame: return new FrameBox(parent);
        case ControlKind::label: return makeLabel(c, parent);
        case ControlKind::textBox: return makeTextBox(c, parent);
        case ControlKind::numberBox: return makeNumberBox(c, parent, geometry, binding.upDown);
        case ControlKind::button: return new QPushButton(parent);
        case ControlKind::checkBox: return new QCheckBox(parent);
        case ControlKind::optionButton: return makeOptionButton(parent);
        case ControlKind::listBox:
        case ControlKind::fileList: return makeList(c, parent, font());
        case ControlKind::slider: return makeSlider(parent);
        case ControlKind::sampleGrid:
            m_gridModel = new SampleGridModel(m_form.ride().samples, this);
            m_grid = makeGrid(m_gridModel, parent);
            return m_grid;
        case ControlKind::profileArea: {
            const Rect place = m_form.absoluteRect(c.id);
            m_profile = new ProfileWidget(m_form, place.left, place.top, parent);
            return m_profile;
        }
        case ControlKind::separator: return makeSeparator(c, parent, geometry);
        case ControlKind::outline: return makeOutline(parent);
    }
    return new QWidget(parent);
}

QWidget* MainWindow::createWidget(const Control& c, QWidget* parent, Binding& binding) {
    QRect geometry = pxRect(c.rect);
    QWidget* widget = makeWidget(c, parent, geometry, binding);
    if (c.bold || c.pointSize > 0) {
        QFont look = widget->font();
        look.setBold(c.bold);
        if (c.pointSize > 0) look.setPointSize(c.pointSize);
        widget->setFont(look);
    }
    widget->setObjectName(qtText(c.id));
    widget->setGeometry(geometry);
    if (c.kind == ControlKind::outline) widget->lower();  // an outline never covers what it frames
    return widget;
}

void MainWindow::connectWidget(const Control& c, Binding& binding) {
    const std::string id = c.id;
    const std::size_t index = binding.index;
    switch (c.kind) {
        case ControlKind::tabStrip:
            connect(static_cast<TabStrip*>(binding.widget), &TabStrip::tabChosen, this,
                    [this, id](int tab) { runEvent([&](MainForm& form) { form.selectTab(id, tab); }); });
            break;
        case ControlKind::textBox:
        case ControlKind::numberBox:
            if (auto* edit = qobject_cast<QLineEdit*>(binding.widget))
                connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
                    runEvent([&](MainForm& form) { form.setText(id, text.toStdString()); });
                });
            if (binding.upDown)
                connect(binding.upDown, &UpDown::stepped, this, [this, id](int direction) {
                    runEvent([&](MainForm& form) { form.spin(id, direction); });
                });
            break;
        case ControlKind::button:
            connect(static_cast<QPushButton*>(binding.widget), &QPushButton::clicked, this,
                    [this, id] { runEvent([&](MainForm& form) { form.press(id); }); });
            break;
        case ControlKind::checkBox:
            connect(static_cast<QCheckBox*>(binding.widget), &QCheckBox::clicked, this,
                    [this, id](bool checked) {
                        runEvent([&](MainForm& form) { form.setChecked(id, checked); });
                    });
            break;
        case ControlKind::optionButton:
            // Clicking an option chooses it, even when it was chosen already.
            connect(static_cast<QRadioButton*>(binding.widget), &QRadioButton::clicked, this,
                    [this, id] { runEvent([&](MainForm& form) { form.setChecked(id, true); }); });
            break;
        case ControlKind::listBox:
        case ControlKind::fileList: {
            auto* list = static_cast<QListWidget*>(binding.widget);
            // A new row reports the choice at once (mouse or keys); a click on the
            // row that is already current reports it again, as a click does.
            connect(list, &QListWidget::currentRowChanged, this, [this, id, index](int row) {
                if (row < 0) return;
                m_bindings[index].rowChangedByPress = QGuiApplication::mouseButtons() != Qt::NoButton;
                runEvent([&](MainForm& form) { form.selectItem(id, row); });
            });
            connect(list, &QListWidget::itemClicked, this, [this, id, index, list](QListWidgetItem* item) {
                if (std::exchange(m_bindings[index].rowChangedByPress, false)) return;
                const int row = list->row(item);
                runEvent([&](MainForm& form) { form.selectItem(id, row); });
            });
            break;
        }
        case ControlKind::slider:
            connect(static_cast<QSlider*>(binding.widget), &QSlider::valueChanged, this,
                    [this, id](int position) {
                        runEvent([&](MainForm& form) { form.moveSlider(id, position); });
                    });
            break;
        case ControlKind::tabPage:
        case ControlKind::frame:
        case ControlKind::label:
        case ControlKind::sampleGrid:
        case ControlKind::profileArea:
        case ControlKind::separator:
        case ControlKind::outline:
            break;
    }
}

void MainWindow::catchUp() {
    if (m_form.samplesRevision() != m_seenSamples && m_gridModel) {
        m_seenSamples = m_form.samplesRevision();
        m_gridModel->reload();
    }
    if (m_form.revision() != m_seenRevision) syncAll();
    // Typing, tabs and lists leave the profile as it is: a large ride is not drawn again for them.
    if (m_form.profileRevision() != m_seenProfile && m_profile) {
        m_seenProfile = m_form.profileRevision();
        m_profile->redraw();
    }
}

void MainWindow::syncAll() {
    m_seenRevision = m_form.revision();
    setWindowTitle(qtText(m_form.title()));
    const std::vector<Control>& controls = m_form.controls();
    for (Binding& binding : m_bindings) sync(controls[binding.index], binding);
}

void MainWindow::sync(const Control& c, Binding& binding) {
    QWidget* widget = binding.widget;
    const QSignalBlocker blocker(widget);
    if (!c.enabled && widget->isEnabled()) passFocusOn(widget);
    widget->setEnabled(c.enabled);
    if (c.kind != ControlKind::tabPage) widget->setHidden(!c.visible);
    if (binding.upDown) {
        binding.upDown->setEnabled(c.enabled);
        binding.upDown->setHidden(!c.visible);
    }
    switch (c.kind) {
        case ControlKind::tabStrip: {
            auto* strip = static_cast<TabStrip*>(widget);
            std::vector<QString> captions;
            for (const std::string& item : c.items) captions.push_back(qtText(item));
            const QSignalBlocker barBlocker(strip->tabBar());
            strip->setTabs(captions);
            strip->showTab(c.value);
            break;
        }
        case ControlKind::frame:
            static_cast<FrameBox*>(widget)->setCaption(qtText(c.caption));
            break;
        case ControlKind::label:
            static_cast<QLabel*>(widget)->setText(qtText(c.caption));
            break;
        case ControlKind::textBox:
        case ControlKind::numberBox:
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                setLineText(edit, qtText(c.text));
            } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
                const QString text = displayLines(c.text);
                if (box->toPlainText() != text) showWhole(box, text, font());
            }
            break;
        case ControlKind::button:
            static_cast<QPushButton*>(widget)->setText(qtText(c.caption));
            break;
        case ControlKind::checkBox:
        case ControlKind::optionButton: {
            auto* button = static_cast<QAbstractButton*>(widget);
            button->setText(qtText(c.caption));
            button->setChecked(c.checked);
            break;
        }
        case ControlKind::listBox:
        case ControlKind::fileList: {
            auto* list = static_cast<QListWidget*>(widget);
            setItems(list, c.items);
            const int row = c.selected >= 0 && c.selected < list->count() ? c.selected : -1;
            if (list->currentRow() != row) list->setCurrentRow(row);
            if (row < 0) list->clearSelection();
            break;
        }
        case ControlKind::slider: {
            auto* slider = static_cast<QSlider*>(widget);
            slider->setRange(c.min, c.max);
            slider->setValue(c.value);
            break;
        }
        case ControlKind::tabPage:
        case ControlKind::sampleGrid:
        case ControlKind::profileArea:
        case ControlKind::separator:
        case ControlKind::outline:
            break;
    }
}

}  // namespace vb::gui
