#pragma once
// No exception may cross Qt's event loop. Every handler that Qt calls runs
// inside Guard: an error it lets through is shown in the error box with its
// message, and the program goes on with the next event.

#include <functional>

class QWidget;

namespace vuzo {

// Runs fn; returns false when it raised (the error has then been shown).
bool Guard(QWidget *parent, const std::function<void()> &fn);

// Wraps a member handler for a signal connection.
template <typename Obj, typename... Args> auto Guarded(Obj *obj, void (Obj::*handler)(Args...))
{
    return [obj, handler](Args... args) { Guard(obj, [&] { (obj->*handler)(args...); }); };
}

} // namespace vuzo
