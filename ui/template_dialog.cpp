#include "ui/template_dialog.h"

#include "model/text_format.h"
#include "ui/latin1_text.h"
#include "ui/list_accessible.h"
#include "ui/tab_stop_label.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace sorrel::ui {
namespace {

// A static text shows '&' as a mnemonic mark and "&&" as one '&'; the
// labels carry no shortcuts, so the marks are dropped.
QString shown_text(std::string_view text) {
    const QString marked = to_qstring(text);
    QString shown;
    shown.reserve(marked.size());
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (marked[i] == u'&' && i + 1 < marked.size())
            ++i;
        shown.append(marked[i]);
    }
    return shown;
}

// The name a screen reader speaks for a field: the text in front of it.
QString spoken_label(const QString& labelText) {
    QString name = labelText.trimmed();
    while (name.endsWith(u':'))
        name.chop(1);
    return name;
}

// Seven average characters between column stops: six short columns fit a
// line 170 units wide.
constexpr int kTabStopUnits = 28;

bool is_named_by_label(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ResultEdit ||
           kind == ControlKind::DropDownList;
}

// Read-only, and looking it: the window's colour behind the text instead of
// the colour of a field that takes typing. A click still focuses it, so its
// text can be selected and copied, but Tab passes it by.
QLineEdit* result_edit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    return edit;
}

} // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialog, Placement placement, QWidget* parent)
    : QDialog(parent) {
    if (placement == Placement::Child)
        setWindowFlags(Qt::Widget);
    else
        setWindowTitle(to_qstring(dialog.title));
    setObjectName(to_qstring(dialog.name));
    const QFont font = template_font(dialog);
    setFont(font);
    scale_ = dialog_unit_scale(font);
    radioGroup_ = new QButtonGroup(this);
    QWidget* lastText = nullptr;
    for (const ControlTemplate& item : dialog.controls)
        build_control(item, lastText);
    if (placement == Placement::Child)
        keep_default_button();
    setFixedSize(horizontal_pixels(dialog.width, scale_), vertical_pixels(dialog.height, scale_));
}

// Inside another window a button that takes the focus by a click takes the
// default away from the default button and never gives it back, so Enter in
// a field would run nothing. There no button but the default one is pressed
// by Enter; Space presses the focused one.
void TemplateDialog::keep_default_button() {
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
}

void TemplateDialog::build_control(const ControlTemplate& item, QWidget*& lastText) {
    QWidget* widget = create_widget(item);
    place(widget, item);
    if (item.id != kUnnumbered) {
        widget->setObjectName(QString::number(item.id));
        if (!controls_.contains(item.id))
            controls_.insert(item.id, widget);
    }
    if (is_named_by_label(item.kind) && lastText != nullptr) {
        auto* label = static_cast<QLabel*>(lastText);
        label->setBuddy(widget);
        widget->setAccessibleName(spoken_label(label->text()));
    }
    lastText = item.kind == ControlKind::Text ? widget : nullptr;
}

QWidget* TemplateDialog::create_widget(const ControlTemplate& item) {
    const std::string_view text = item.text != nullptr ? item.text : "";
    switch (item.kind) {
    case ControlKind::Text: {
        auto* label = new QLabel(shown_text(text), this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::TabbedText:
        return new TabStopLabel(to_qstring(text), horizontal_pixels(kTabStopUnits, scale_), this);
    case ControlKind::Edit:
        return new QLineEdit(to_qstring(text), this);
    case ControlKind::ResultEdit:
        return result_edit(this);
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(to_qstring(text), this);
        button->setDefault(item.kind == ControlKind::DefaultButton);
        dispatch_clicks(button, item.id);
        return button;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(to_qstring(text), this);
        dispatch_clicks(box, item.id);
        return box;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(to_qstring(text), this);
        radioGroup_->addButton(radio);
        dispatch_clicks(radio, item.id);
        return radio;
    }
    case ControlKind::GroupBox: {
        auto* frame = new QGroupBox(to_qstring(text), this);
        frame->setFocusPolicy(Qt::NoFocus);
        return frame;
    }
    case ControlKind::DropDownList: {
        install_list_accessibility();
        auto* list = new QComboBox(this);
        list->setEditable(true);
        // Typed text must never become a line of its own: positions are rows.
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setEditText(to_qstring(text));
        return list;
    }
    }
    return nullptr;
}

void TemplateDialog::place(QWidget* widget, const ControlTemplate& item) {
    const PixelRect r = to_pixels(item.x, item.y, item.width, item.height, scale_);
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        // The template's height is the dropped list's; the closed list is one line high.
        const int closedHeight = list->sizeHint().height();
        list->setMaxVisibleItems(std::max(1, (r.height - closedHeight) / scale_.charHeight));
        list->setGeometry(r.x, r.y, r.width, closedHeight);
        return;
    }
    widget->setGeometry(r.x, r.y, r.width, r.height);
    if (qobject_cast<QGroupBox*>(widget) != nullptr)
        widget->lower();
}

void TemplateDialog::dispatch_clicks(QWidget* widget, int id) {
    connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
            [this, id] { handle_command(id); });
}

QWidget* TemplateDialog::control(int id) const {
    return controls_.value(id, nullptr);
}

std::string TemplateDialog::item_text(int id, std::size_t bufferSize) const {
    QWidget* widget = control(id);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        text = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        text = frame->title();
    else if (auto* list = qobject_cast<QComboBox*>(widget))
        text = list->currentText();
    const qsizetype room = bufferSize > 0 ? static_cast<qsizetype>(bufferSize - 1) : 0;
    return to_latin1(text.left(room));
}

void TemplateDialog::read_number(int id, const char* shownFormat, float& value) const {
    const std::string text = item_text(id, kNumberBuffer);
    if (text == format(shownFormat, double(value)).substr(0, kNumberBuffer - 1))
        return;
    if (const auto typed = read_float_field(text))
        value = *typed;
}

void TemplateDialog::set_item_text(int id, std::string_view text) {
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(to_qstring(text));
        edit->setCursorPosition(0); // show the beginning, as a freshly written field does
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(shown_text(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(to_qstring(text));
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(to_qstring(text));
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        list->setEditText(to_qstring(text));
    }
}

bool TemplateDialog::is_checked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    return button != nullptr && button->isChecked();
}

void TemplateDialog::set_checked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(control(id)))
        button->setChecked(checked);
}

void TemplateDialog::select_radio(int id) {
    if (auto* radio = qobject_cast<QRadioButton*>(control(id)))
        radio->setChecked(true);
}

void TemplateDialog::add_list_line(int id, std::string_view line) {
    if (auto* list = qobject_cast<QComboBox*>(control(id)))
        list->addItem(to_qstring(line));
}

void TemplateDialog::select_list_position(int id, int position) {
    if (auto* list = qobject_cast<QComboBox*>(control(id)))
        list->setCurrentIndex(position < list->count() ? position : -1);
}

int TemplateDialog::selected_list_position(int id) const {
    auto* list = qobject_cast<QComboBox*>(control(id));
    return list != nullptr ? list->currentIndex() : -1;
}

void TemplateDialog::send_command(int command) {
    handle_command(command);
}

void TemplateDialog::post_command(int command) {
    QMetaObject::invokeMethod(
        this, [this, command] { handle_command(command); }, Qt::QueuedConnection);
}

int TemplateDialog::run_modal() {
    return exec();
}

void TemplateDialog::end(int result) {
    done(result);
}

void TemplateDialog::reject() {
    handle_command(kCancelCommand);
}

} // namespace sorrel::ui
