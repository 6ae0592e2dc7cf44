// SPDX-License-Identifier: MIT
#pragma once

namespace quorvel {

/// The window's mouse-pointer setting. Long work sets the hourglass, and other
/// handlers read it as "busy".
namespace pointer {
inline constexpr int kDefault = 0;
inline constexpr int kHourglass = 11;
inline constexpr int kCustom = 99;
} // namespace pointer

class WindowPointer {
public:
    virtual ~WindowPointer() = default;
    virtual int mousePointer() const = 0;
    virtual void setMousePointer(int value) = 0;
    bool isBusy() const { return mousePointer() == pointer::kHourglass; }
};

/// A pointer setting with no window behind it, for logic that runs without one.
class PlainWindowPointer : public WindowPointer {
public:
    int mousePointer() const override { return m_value; }
    void setMousePointer(int value) override { m_value = value; }

private:
    int m_value = pointer::kDefault;
};

} // namespace quorvel
