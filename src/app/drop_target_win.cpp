// OLE drop target for file names (CF_HDROP). The drop itself only hands the
// names on; the window adds them after the drag source has been released.
#include "app/drop_target_win.h"

#include <ole2.h>
#include <shellapi.h>

namespace app {
namespace {

FORMATETC FileNamesFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// Reads the names of an HDROP without freeing it.
std::vector<std::wstring> NamesOf(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring path(length + 1, L'\0');
    const UINT got = DragQueryFileW(drop, i, &path[0], length + 1);
    path.resize(got);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

class DropTarget final : public IDropTarget {
 public:
  DropTarget(DropHandler handler, DropsOpen open) : handler_(std::move(handler)), open_(std::move(open)) {}
  virtual ~DropTarget() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format = FileNamesFormat();
    accepts_ = data && data->QueryGetData(&format) == S_OK;
    return Answer(effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    accepts_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format = FileNamesFormat();
    STGMEDIUM medium{};
    if (!accepts_ || !open_() || !data || FAILED(data->GetData(&format, &medium))) {
      accepts_ = false;
      if (effect) *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    std::vector<std::wstring> paths = NamesOf(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    accepts_ = false;
    if (effect) *effect = paths.empty() ? DROPEFFECT_NONE : DROPEFFECT_COPY;
    if (!paths.empty()) handler_(std::move(paths));
    return S_OK;
  }

 private:
  // Adding copies names into the list: the cursor shows the copy arrow, or
  // the no-drop sign while the window takes no drops.
  HRESULT Answer(DWORD* effect) const {
    if (effect) *effect = accepts_ && open_() && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }

  LONG refs_ = 1;
  bool accepts_ = false;
  DropHandler handler_;
  DropsOpen open_;
};

}  // namespace

bool AcceptDrops(HWND hwnd, DropHandler handler, DropsOpen open) {
  DragAcceptFiles(hwnd, TRUE);
  auto* target = new DropTarget(std::move(handler), std::move(open));
  const HRESULT hr = RegisterDragDrop(hwnd, target);
  target->Release();  // the registration holds its own reference
  return SUCCEEDED(hr);
}

std::vector<std::wstring> DroppedFiles(HDROP drop) {
  std::vector<std::wstring> paths = NamesOf(drop);
  DragFinish(drop);
  return paths;
}

}  // namespace app
