// The toolkit binding: what a toolkit supplies for each kind of control. The platform's control
// classes (Controls.h) set and read properties only through these interfaces, so a toolkit is
// bound by implementing them (the headless toolkit now, a widget toolkit later) without any
// change to the panel.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kordavine::platform {

enum class LabelColor { Black, LightGray };

class ControlPeer {
  public:
    virtual ~ControlPeer() = default;
    virtual void setHidden(bool hidden) = 0;
    virtual bool isHidden() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

// Text fields, secure text fields, labels and notes.
class TextFieldPeer : public ControlPeer {
  public:
    virtual std::string text() const = 0;
    // Replaces the text; raises no change notification.
    virtual void setText(const std::string& text) = 0;
    virtual void setTextColor(LabelColor color) = 0;
    virtual LabelColor textColor() const = 0;
    virtual bool isSecure() const = 0;
    // Labels and notes are not editable by the user; entries are.
    virtual void setEditable(bool editable) = 0;
    // Called by the toolkit after each edit by the user.
    virtual void setTextDidChangeHandler(std::function<void()> handler) = 0;
};

class PopUpPeer : public ControlPeer {
  public:
    virtual void removeAllItems() = 0;
    virtual void addItem(const std::string& title) = 0;
    // Selects the first item with that title; a title the list lacks leaves the selection as it is.
    virtual void selectItem(const std::string& title) = 0;
    virtual std::optional<std::string> selectedTitle() const = 0;
    virtual std::vector<std::string> itemTitles() const = 0;
    // Called by the toolkit when the user picks an item.
    virtual void setActionHandler(std::function<void()> handler) = 0;
};

// Check boxes.
class ButtonPeer : public ControlPeer {
  public:
    virtual int state() const = 0;
    virtual void setState(int state) = 0;
    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Called by the toolkit when the user toggles the button.
    virtual void setActionHandler(std::function<void()> handler) = 0;
};

// Where a control sits in a view laid out as a form: a row (rows are shown in the order the view
// description first names them) and a column within it. Controls sharing a cell sit side by side.
enum class FormColumn { Label, Entry, Note };

struct FormPlace {
    std::string row;
    FormColumn column = FormColumn::Entry;
};

class ViewPeer : public ControlPeer {
  public:
    // Puts a control of the view in its place in the form (none: the description gives it no
    // place). A toolkit without a screen has no layout and ignores it.
    virtual void placeControl(const std::shared_ptr<ControlPeer>& control,
                              const std::optional<FormPlace>& place) {
        (void)control;
        (void)place;
    }
};

// Creates the controls of a view description.
class Toolkit {
  public:
    virtual ~Toolkit() = default;
    virtual std::shared_ptr<TextFieldPeer> makeTextField(bool secure) = 0;
    virtual std::shared_ptr<PopUpPeer> makePopUp() = 0;
    virtual std::shared_ptr<ButtonPeer> makeCheckBox() = 0;
    virtual std::shared_ptr<ViewPeer> makeView() = 0;
};

// The toolkit the host process runs; none until the host installs one, and then views cannot
// be loaded.
void setToolkit(std::shared_ptr<Toolkit> toolkit);
std::shared_ptr<Toolkit> toolkit();

}  // namespace kordavine::platform
