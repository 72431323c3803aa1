// COM for the calls that use the system's image codecs: the apartment held for one call, and
// interface references released on every path.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

// Joins the calling thread to COM for the call's duration. A thread already in COM (the
// browser's, in either model) stays as it was.
class ComApartment {
public:
    ComApartment() {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        joined_ = SUCCEEDED(hr);
        usable_ = joined_ || hr == RPC_E_CHANGED_MODE;
    }
    ~ComApartment() {
        if (joined_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    explicit operator bool() const { return usable_; }

private:
    bool joined_ = false;
    bool usable_ = false;
};

template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_)
            p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    // For a call that hands back a new reference; whatever was held is released first.
    T** out() {
        if (p_)
            p_->Release();
        p_ = nullptr;
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

private:
    T* p_ = nullptr;
};

// The system's imaging factory in an apartment, both held for one call; false when either is
// missing. The factory goes before the apartment.
class ImagingFactory {
public:
    ImagingFactory() {
        if (com_)
            CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                             factory_.outVoid());
    }
    explicit operator bool() const { return factory_.get() != nullptr; }
    IWICImagingFactory* get() const { return factory_.get(); }
    IWICImagingFactory* operator->() const { return factory_.get(); }

private:
    ComApartment com_;
    ComRef<IWICImagingFactory> factory_;
};
