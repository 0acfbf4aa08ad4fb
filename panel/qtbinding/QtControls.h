// The Qt toolkit's controls: each peer owns a real widget (QLineEdit for entries, QLabel for
// labels and notes, QComboBox for the pop-up, QCheckBox for the check box, a QWidget laid out as
// a form for the view). User actions reach the panel through the widgets' own signals:
// textEdited for the entries, activated for the pop-up, clicked for the check box. Programmatic
// changes raise nothing, as the panel expects.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ControlPeers.h"

class QGridLayout;
class QHBoxLayout;

namespace kordavine::qt {

using platform::LabelColor;

// Called after the panel has handled a user action (so after an entry's cap), for hosts that
// show something derived from the form, such as its summary.
using UserActionObserver = std::shared_ptr<std::function<void()>>;

// What every Qt peer offers its view: the widget to lay out.
class QtWidgetPeer {
  public:
    virtual ~QtWidgetPeer() = default;
    virtual QWidget* widget() const = 0;
    // Applies the hidden flag once the widget has a parent (a parentless widget shown would
    // become a window of its own).
    virtual void applyVisibility() = 0;
};

template <class Peer>
class QtControl : public Peer, public QtWidgetPeer {
  public:
    ~QtControl() override {
        // A widget laid out in a view belongs to the view; one never placed belongs to us.
        if (widget_ && !widget_->parent()) delete widget_.data();
    }
    void setHidden(bool hidden) override {
        hidden_ = hidden;
        applyVisibility();
    }
    bool isHidden() const override { return hidden_; }
    void setEnabled(bool enabled) override {
        enabled_ = enabled;
        if (widget_) widget_->setEnabled(enabled);
    }
    bool isEnabled() const override { return enabled_; }
    QWidget* widget() const override { return widget_; }
    void applyVisibility() override {
        if (widget_ && (widget_->parentWidget() || hidden_)) widget_->setHidden(hidden_);
    }

  protected:
    explicit QtControl(UserActionObserver observer) : observer_(std::move(observer)) {}
    // Takes the widget that stands for the control and gives it the control's state.
    void adopt(QWidget* widget) {
        widget_ = widget;
        widget_->setEnabled(enabled_);
        applyVisibility();
    }
    void notifyObserver() const {
        if (observer_ && *observer_) (*observer_)();
    }
    // The context of every signal connection, so none outlives the peer.
    QObject* context() { return &context_; }

  private:
    QPointer<QWidget> widget_;
    QObject context_;
    UserActionObserver observer_;
    bool hidden_ = false;
    bool enabled_ = true;
};

// An entry (QLineEdit; password echo when secure) or, once made not editable, a label or note
// (QLabel, plain text). A secure field stays a read-only QLineEdit so its text is never shown.
class QtTextField : public QtControl<platform::TextFieldPeer> {
  public:
    QtTextField(bool secure, UserActionObserver observer);

    std::string text() const override;
    void setText(const std::string& text) override;
    void setTextColor(LabelColor color) override;
    LabelColor textColor() const override { return color_; }
    bool isSecure() const override { return secure_; }
    void setEditable(bool editable) override;
    void setTextDidChangeHandler(std::function<void()> handler) override {
        handler_ = std::move(handler);
    }

    QLineEdit* lineEdit() const { return edit_; }
    QLabel* label() const { return label_; }

  private:
    void makeLineEdit(const QString& text);
    void applyColor();

    bool secure_;
    LabelColor color_ = LabelColor::Black;
    std::function<void()> handler_;
    QPointer<QLineEdit> edit_;
    QPointer<QLabel> label_;
};

class QtPopUp : public QtControl<platform::PopUpPeer> {
  public:
    explicit QtPopUp(UserActionObserver observer);

    void removeAllItems() override;
    void addItem(const std::string& title) override;
    void selectItem(const std::string& title) override;
    std::optional<std::string> selectedTitle() const override;
    std::vector<std::string> itemTitles() const override;
    void setActionHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    QComboBox* comboBox() const { return combo_; }

  private:
    QPointer<QComboBox> combo_;
    std::function<void()> handler_;
};

class QtCheckBox : public QtControl<platform::ButtonPeer> {
  public:
    explicit QtCheckBox(UserActionObserver observer);

    // The state as set (0 off, anything else on); a toggle by the user makes it 0 or 1.
    int state() const override { return state_; }
    void setState(int state) override;
    std::string title() const override;
    void setTitle(const std::string& title) override;
    void setActionHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    QCheckBox* checkBox() const { return box_; }

  private:
    QPointer<QCheckBox> box_;
    int state_ = 0;
    std::function<void()> handler_;
};

// The panel's view: a widget with a grid of rows (label, entry, note). Rows appear in the order
// they are first placed; controls sharing a cell sit side by side; controls without a place
// get a row of their own ("#0", "#1", ...).
class QtView : public QtControl<platform::ViewPeer> {
  public:
    explicit QtView(UserActionObserver observer);

    void placeControl(const std::shared_ptr<platform::ControlPeer>& control,
                      const std::optional<platform::FormPlace>& place) override;

    // The row names in the order shown.
    std::vector<std::string> rowNames() const;
    // The widgets in a cell, in the order placed.
    std::vector<QWidget*> widgetsIn(const std::string& row, platform::FormColumn column) const;

  private:
    int rowFor(const std::string& row);
    QHBoxLayout* cell(int row, platform::FormColumn column);
    void linkLabels(int row);

    QGridLayout* grid_;
    std::vector<std::string> rows_;
    std::map<std::pair<int, int>, QHBoxLayout*> cells_;
    std::map<std::pair<int, int>, std::vector<QPointer<QWidget>>> cellWidgets_;
    int freeRows_ = 0;
};

}  // namespace kordavine::qt
