#pragma once

#include <QString>

#include <sys/resource.h>

// The small disk of the test's own (tests/with_small_disk.sh), or "" where
// the machine allows no such disk.
QString smallDisk();

// While alive, no file can grow: the small disk is filled to the last byte,
// or, without one, the process may not write past a few bytes into any file
// (the kernel refuses such writes as it refuses them on a full disk).
class DiskFull
{
public:
    DiskFull();
    ~DiskFull();
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;

private:
    rlimit m_limit{};
};
