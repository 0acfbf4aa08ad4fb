#include "QtControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QVBoxLayout>

namespace kordavine::qt {

namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

std::string toStdString(const QString& text) {
    return text.toStdString();
}

// lightGrayColor on screen: the style's colour for text that does not apply at the moment.
QColor colorOf(LabelColor color, const QPalette& palette, QPalette::ColorRole role) {
    return color == LabelColor::Black ? palette.color(QPalette::Active, role)
                                      : palette.color(QPalette::Disabled, role);
}

constexpr int columnIndex(platform::FormColumn column) {
    switch (column) {
        case platform::FormColumn::Label:
            return 0;
        case platform::FormColumn::Entry:
            return 1;
        case platform::FormColumn::Note:
            return 2;
    }
    return 1;
}

}  // namespace

// ---- text fields -------------------------------------------------------------------------

QtTextField::QtTextField(bool secure, UserActionObserver observer)
    : QtControl(std::move(observer)), secure_(secure) {
    makeLineEdit(QString());
}

void QtTextField::makeLineEdit(const QString& text) {
    auto* edit = new QLineEdit(text);
    if (secure_) edit->setEchoMode(QLineEdit::Password);
    // Room for the longest entry (16 characters) without scrolling.
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 20);
    QObject::connect(edit, &QLineEdit::textEdited, context(), [this] {
        if (handler_) handler_();
        notifyObserver();
    });
    edit_ = edit;
    adopt(edit);
}

std::string QtTextField::text() const {
    if (edit_) return toStdString(edit_->text());
    if (label_) return toStdString(label_->text());
    return {};
}

void QtTextField::setText(const std::string& text) {
    // QLineEdit::setText raises textChanged only, never textEdited: no change notification.
    if (edit_) edit_->setText(toQString(text));
    if (label_) label_->setText(toQString(text));
}

void QtTextField::setTextColor(LabelColor color) {
    color_ = color;
    applyColor();
}

void QtTextField::applyColor() {
    QWidget* shown = widget();
    if (!shown) return;
    QPalette palette = shown->palette();
    const auto role = label_ ? QPalette::WindowText : QPalette::Text;
    palette.setColor(QPalette::Active, role, colorOf(color_, QPalette(), role));
    palette.setColor(QPalette::Inactive, role, colorOf(color_, QPalette(), role));
    shown->setPalette(palette);
}

void QtTextField::setEditable(bool editable) {
    const bool isLabel = label_ != nullptr;
    if (secure_) {
        if (edit_) edit_->setReadOnly(!editable);
        return;
    }
    if (editable != isLabel) return;  // already the right widget
    QWidget* old = widget();
    const QString text = toQString(this->text());
    QWidget* parent = old ? old->parentWidget() : nullptr;
    if (editable) {
        makeLineEdit(text);
        label_.clear();
    } else {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label_ = label;
        edit_.clear();
        adopt(label);
    }
    if (parent && parent->layout()) {
        delete parent->layout()->replaceWidget(old, widget(), Qt::FindChildrenRecursively);
        applyVisibility();
    }
    delete old;
    applyColor();
}

// ---- pop-up ------------------------------------------------------------------------------

QtPopUp::QtPopUp(UserActionObserver observer) : QtControl(std::move(observer)) {
    auto* combo = new QComboBox;
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    QObject::connect(combo, &QComboBox::activated, context(), [this](int) {
        if (handler_) handler_();
        notifyObserver();
    });
    combo_ = combo;
    adopt(combo);
}

void QtPopUp::removeAllItems() {
    if (combo_) combo_->clear();
}

void QtPopUp::addItem(const std::string& title) {
    // QComboBox selects its first item as soon as it is added, as a pop-up button does.
    if (combo_) combo_->addItem(toQString(title));
}

void QtPopUp::selectItem(const std::string& title) {
    if (!combo_) return;
    const int index = combo_->findText(toQString(title), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) combo_->setCurrentIndex(index);
}

std::optional<std::string> QtPopUp::selectedTitle() const {
    if (!combo_ || combo_->currentIndex() < 0) return std::nullopt;
    return toStdString(combo_->currentText());
}

std::vector<std::string> QtPopUp::itemTitles() const {
    std::vector<std::string> titles;
    if (!combo_) return titles;
    for (int i = 0; i < combo_->count(); ++i) titles.push_back(toStdString(combo_->itemText(i)));
    return titles;
}

// ---- check box ---------------------------------------------------------------------------

QtCheckBox::QtCheckBox(UserActionObserver observer) : QtControl(std::move(observer)) {
    auto* box = new QCheckBox;
    QObject::connect(box, &QCheckBox::clicked, context(), [this](bool checked) {
        state_ = checked ? 1 : 0;
        if (handler_) handler_();
        notifyObserver();
    });
    box_ = box;
    adopt(box);
}

void QtCheckBox::setState(int state) {
    state_ = state;
    if (box_) box_->setChecked(state != 0);
}

std::string QtCheckBox::title() const {
    return box_ ? toStdString(box_->text()) : std::string();
}

void QtCheckBox::setTitle(const std::string& title) {
    if (box_) box_->setText(toQString(title));
}

// ---- view --------------------------------------------------------------------------------

QtView::QtView(UserActionObserver observer) : QtControl(std::move(observer)) {
    auto* view = new QWidget;
    auto* column = new QVBoxLayout(view);
    grid_ = new QGridLayout;
    grid_->setColumnStretch(2, 1);
    column->addLayout(grid_);
    column->addStretch(1);
    adopt(view);
}

int QtView::rowFor(const std::string& row) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] == row) return static_cast<int>(i);
    }
    rows_.push_back(row);
    return static_cast<int>(rows_.size()) - 1;
}

QHBoxLayout* QtView::cell(int row, platform::FormColumn column) {
    const std::pair key{row, columnIndex(column)};
    const auto found = cells_.find(key);
    if (found != cells_.end()) return found->second;
    auto* box = new QHBoxLayout;
    box->setContentsMargins(0, 0, 0, 0);
    grid_->addLayout(box, row, key.second, Qt::AlignLeft | Qt::AlignVCenter);
    cells_.emplace(key, box);
    return box;
}

void QtView::placeControl(const std::shared_ptr<platform::ControlPeer>& control,
                          const std::optional<platform::FormPlace>& place) {
    auto* peer = dynamic_cast<QtWidgetPeer*>(control.get());
    if (!peer || !peer->widget()) return;
    // Controls without a place go below every named row, one row each.
    // Built by appending: GCC 12 misreads "#" + std::string as an overlapping copy (-Wrestrict).
    std::string freeRow = "#";
    if (!place) freeRow += std::to_string(freeRows_++);
    const int row = rowFor(place ? place->row : freeRow);
    const auto column = place ? place->column : platform::FormColumn::Entry;
    cell(row, column)->addWidget(peer->widget());
    cellWidgets_[{row, columnIndex(column)}].push_back(peer->widget());
    peer->applyVisibility();
    linkLabels(row);
}

// A label names the first entry of its row, so a click on it or its mnemonic focuses the entry.
void QtView::linkLabels(int row) {
    const auto labels = cellWidgets_.find({row, 0});
    const auto entries = cellWidgets_.find({row, 1});
    if (labels == cellWidgets_.end() || entries == cellWidgets_.end() || entries->second.empty())
        return;
    for (const auto& widget : labels->second) {
        if (auto* label = qobject_cast<QLabel*>(widget.data()))
            label->setBuddy(entries->second.front());
    }
}

std::vector<std::string> QtView::rowNames() const {
    return rows_;
}

std::vector<QWidget*> QtView::widgetsIn(const std::string& row, platform::FormColumn column) const {
    std::vector<QWidget*> widgets;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] != row) continue;
        const auto found = cellWidgets_.find({static_cast<int>(i), columnIndex(column)});
        if (found == cellWidgets_.end()) break;
        for (const auto& widget : found->second) {
            if (widget) widgets.push_back(widget);
        }
    }
    return widgets;
}

}  // namespace kordavine::qt
