#include "bench/GpibLibrary.h"

#include <dlfcn.h>

namespace kvb::bench {

namespace {

template <typename F>
bool resolve(void* handle, const char* name, F& into)
{
    into = reinterpret_cast<F>(dlsym(handle, name));
    return into != nullptr;
}

}  // namespace

GpibLibrary::GpibLibrary(std::vector<std::string> names) : names_(std::move(names)) {}

GpibLibrary::~GpibLibrary()
{
    if (handle_)
        dlclose(handle_);
}

void GpibLibrary::load() const
{
    if (tried_)
        return;
    tried_ = true;
    std::string tried;
    for (const std::string& name : names_) {
        tried += (tried.empty() ? "" : ", ") + name;
        void* h = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h)
            continue;
        Calls c;
        const char* missing = nullptr;
        if (!resolve(h, "ibdev", c.ibdev)) missing = "ibdev";
        else if (!resolve(h, "ibclr", c.ibclr)) missing = "ibclr";
        else if (!resolve(h, "ibonl", c.ibonl)) missing = "ibonl";
        else if (!resolve(h, "ibrd", c.ibrd)) missing = "ibrd";
        else if (!resolve(h, "ibwrt", c.ibwrt)) missing = "ibwrt";
        else if (!resolve(h, "ThreadIbsta", c.ThreadIbsta)) missing = "ThreadIbsta";
        else if (!resolve(h, "ThreadIberr", c.ThreadIberr)) missing = "ThreadIberr";
        else if (!resolve(h, "ThreadIbcntl", c.ThreadIbcntl)) missing = "ThreadIbcntl";
        if (missing) {
            reason_ = "The GPIB library " + name + " lacks the call " + missing + ".";
            dlclose(h);
            continue;
        }
        handle_ = h;
        calls_ = c;
        reason_.clear();
        return;
    }
    if (reason_.empty())
        reason_ = "No GPIB library was found (" + tried + ").";
}

bool GpibLibrary::available() const
{
    load();
    return handle_ != nullptr;
}

std::string GpibLibrary::unavailableReason() const
{
    load();
    return reason_;
}

void GpibLibrary::postStatus()
{
    words_.post(calls_.ThreadIbsta(), calls_.ThreadIberr(),
                static_cast<int32_t>(calls_.ThreadIbcntl()));
}

int32_t GpibLibrary::failWithoutLibrary()
{
    words_.post(kStatusError, kErrorSystem, 0);
    return kStatusError;
}

int32_t GpibLibrary::ibdev(int32_t boardIndex, int32_t pad, int32_t sad, int32_t tmo,
                           int32_t eot, int32_t eos)
{
    if (!available()) {
        failWithoutLibrary();
        return -1;
    }
    int ud = calls_.ibdev(boardIndex, pad, sad, tmo, eot, eos);
    postStatus();
    return ud;
}

int32_t GpibLibrary::ibclr(int32_t device)
{
    if (!available())
        return failWithoutLibrary();
    int sta = calls_.ibclr(device);
    postStatus();
    return sta;
}

int32_t GpibLibrary::ibonl(int32_t device, int32_t value)
{
    if (!available())
        return failWithoutLibrary();
    int sta = calls_.ibonl(device, value);
    postStatus();
    return sta;
}

int32_t GpibLibrary::ibrd(int32_t device, char* buffer, int32_t count)
{
    if (!available())
        return failWithoutLibrary();
    int sta = calls_.ibrd(device, buffer, count);
    postStatus();
    return sta;
}

int32_t GpibLibrary::ibwrt(int32_t device, const char* data, int32_t count)
{
    if (!available())
        return failWithoutLibrary();
    int sta = calls_.ibwrt(device, data, count);
    postStatus();
    return sta;
}

int32_t GpibLibrary::RegisterGpibGlobalsForThread(int32_t* status, int32_t* error, int32_t* count,
                                                  int32_t* longCount)
{
    return words_.attach(status, error, count, longCount);
}

int32_t GpibLibrary::UnregisterGpibGlobalsForThread()
{
    return words_.detach();
}

}  // namespace kvb::bench
