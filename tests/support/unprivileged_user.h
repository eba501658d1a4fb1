#pragma once

// The tests run as root in the build containers, where permissions do not stop anything:
// "cannot read" and "cannot write" are made real by running that step with the effective
// user id of an unprivileged user (nobody).
#include <gtest/gtest.h>

#include <sys/types.h>
#include <unistd.h>

namespace testing_support {

inline constexpr uid_t kNobody = 65534;

// For its lifetime, file access is checked as for an unprivileged user: the effective
// user id is nobody's when the tests run as root.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser() : m_wasRoot(::geteuid() == 0)
    {
        if (m_wasRoot) {
            EXPECT_EQ(::seteuid(kNobody), 0);
        }
    }
    ~AsUnprivilegedUser()
    {
        if (m_wasRoot) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    bool m_wasRoot;
};

} // namespace testing_support
