// The entry fields of the Job Log form. Each caps what the user types at a fixed length,
// counted in UTF-16 units as the toolkit's strings count them; text that the panel puts in
// itself raises no change notification and is not cut.
#pragma once

#include <cstddef>

#include "Controls.h"

namespace kordavine::joblog {

// After each edit by the user, keeps the first Cap units of the field's text.
template <class Base, std::size_t Cap>
class CappedTextField : public Base {
  public:
    static constexpr std::size_t kCap = Cap;
    using Base::Base;
    void textDidChange() override;
};

class UserIDFieldS : public CappedTextField<platform::TextField, 8> {
  public:
    using CappedTextField::CappedTextField;
    const char* className() const override { return "UserIDFieldS"; }
};

class DocNameFiledS : public CappedTextField<platform::TextField, 16> {
  public:
    using CappedTextField::CappedTextField;
    const char* className() const override { return "DocNameFiledS"; }
};

class PasswordFieldS : public CappedTextField<platform::SecureTextField, 4> {
  public:
    using CappedTextField::CappedTextField;
    const char* className() const override { return "PasswordFieldS"; }
};

class LongPasswordFieldS : public CappedTextField<platform::SecureTextField, 8> {
  public:
    using CappedTextField::CappedTextField;
    const char* className() const override { return "LongPasswordFieldS"; }
};

}  // namespace kordavine::joblog
