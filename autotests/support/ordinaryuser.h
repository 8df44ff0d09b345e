#pragma once

#include <QtGlobal>

#include <unistd.h>

// Root may write to any file whatever its mode, so a read-only database can
// only be met with the rights of an ordinary user. Takes those rights on for
// its lifetime where the test runs as root.
class OrdinaryUser
{
public:
    OrdinaryUser()
    {
        if (geteuid() == 0)
            m_switched = setegid(Nobody) == 0 && seteuid(Nobody) == 0;
    }
    ~OrdinaryUser()
    {
        if (m_switched && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot take the rights of root back");
    }
    OrdinaryUser(const OrdinaryUser &) = delete;
    OrdinaryUser &operator=(const OrdinaryUser &) = delete;

    bool canMeetReadOnlyFiles() const { return geteuid() != 0; }

private:
    static constexpr uid_t Nobody = 65534;
    bool m_switched = false;
};
