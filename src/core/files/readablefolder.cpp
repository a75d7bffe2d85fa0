#include "core/files/readablefolder.h"

#include <utility>

ReadableFolder::File::File(File&& other) noexcept
    : handle(std::exchange(other.handle, -1))
    , size(other.size)
    , why(std::move(other.why))
{
}

ReadableFolder::File& ReadableFolder::File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        handle = std::exchange(other.handle, -1);
        size = other.size;
        why = std::move(other.why);
    }
    return *this;
}

ReadableFolder::File::~File()
{
    close();
}
