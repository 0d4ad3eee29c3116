// The class objects DllGetClassObject hands out: one factory type, told which class to make.
#pragma once

#include <unknwn.h>
#include <windows.h>

namespace sarnlink::com {

class ClassFactory : public IClassFactory {
 public:
  // Makes a new object of the class and returns it with one reference.
  using Maker = IUnknown* (*)();
  explicit ClassFactory(Maker maker);
  virtual ~ClassFactory();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  LONG references_ = 1;  // COM reference count
  Maker maker_;          // what this factory makes
};

}  // namespace sarnlink::com
