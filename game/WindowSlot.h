// A secondary window of the main window: either handed in ready-made or made
// by its factory when it is first needed, once per run. Windows that are
// rarely opened need not cost start-up time or memory before then.
#pragma once

#include <functional>
#include <utility>

template <class TWindow>
class TWindowSlot {
public:
    using TFactory = std::function<TWindow*()>;

    void Set(TWindow* window)
    {
        window_ = window;
        factory_ = nullptr;
    }
    void SetFactory(TFactory factory)
    {
        window_ = nullptr;
        factory_ = std::move(factory);
    }

    // The window, made now if it has not been yet; null when there is
    // neither a window nor a factory.
    TWindow* Get()
    {
        if (!window_ && factory_)
            window_ = std::exchange(factory_, nullptr)();
        return window_;
    }
    bool Made() const { return window_ != nullptr; }

    TWindow* operator->() { return Get(); }
    explicit operator bool() { return Get() != nullptr; }

private:
    TWindow* window_ = nullptr;
    TFactory factory_;
};
