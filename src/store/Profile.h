#pragma once

#include <string>
#include <string_view>

// String values in named sections below the program's settings key. Failures
// are silent: an unreadable value reads as the default, a failed write keeps
// the old value.
class Profile {
public:
    virtual ~Profile() = default;
    virtual std::u16string getString(std::u16string_view section, std::u16string_view entry,
                                     std::u16string_view defaultValue) = 0;
    virtual void writeString(std::u16string_view section, std::u16string_view entry,
                             std::u16string_view value) = 0;
};
