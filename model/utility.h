#pragma once

#include <cstddef>
#include <memory>

namespace Utility {

// Empty base of classes that must not be copied.
class NonCopyable {
protected:
    NonCopyable() = default;
    ~NonCopyable() = default;

public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;
};

// An owned buffer whose size is fixed when it is made; released with the object.
template <typename T>
class FixedArray : private NonCopyable {
public:
    explicit FixedArray(std::size_t size) : m_data(std::make_unique<T[]>(size)), m_size(size) {}

    T* Get() { return m_data.get(); }
    const T* Get() const { return m_data.get(); }
    std::size_t Size() const { return m_size; }
    T& operator[](std::size_t index) { return m_data[index]; }
    const T& operator[](std::size_t index) const { return m_data[index]; }

private:
    std::unique_ptr<T[]> m_data;
    std::size_t m_size;
};

} // namespace Utility
