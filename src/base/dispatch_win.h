// Late-bound calls into automation objects (the shell's folder browser, the
// scripting shell's shortcuts): COM references, VARIANTs that clean up after
// themselves, and calling a member by its name.
#pragma once
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

namespace base::win {

// Owns one reference to a COM interface.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  explicit ComRef(T* p) : p_(p) {}
  ComRef(ComRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { reset(); }

  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// Owns a VARIANT.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v); }
};

// Arguments: a text (the VARIANT owns a new BSTR) and a number.
VARIANT* TextArg(Variant& arg, const std::wstring& text);
VARIANT* NumberArg(Variant& arg, long number);

// Creates an automation object by its programmatic name.
HRESULT CreateObject(const wchar_t* progId, ComRef<IDispatch>& object);

// Calls a member by name with the arguments in the order the member declares
// them; kind is DISPATCH_METHOD / DISPATCH_PROPERTYGET (or both) or
// DISPATCH_PROPERTYPUT with one argument. A failure the object explains
// through its exception record comes back as that record's own code.
HRESULT Invoke(IDispatch* object, const wchar_t* member, WORD kind, const std::vector<VARIANT*>& args, VARIANT* result);

// Takes the object out of a VT_DISPATCH result; empty for a NULL object.
ComRef<IDispatch> TakeObject(Variant& value);

}  // namespace base::win
