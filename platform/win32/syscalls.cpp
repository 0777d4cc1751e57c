// The call table, initialised to the real functions.
#include "syscalls.h"

const SyscallTable kRealSyscalls = {
#define SETUP_SYSCALL_REAL(name) &::name,
    SETUP_SYSCALLS(SETUP_SYSCALL_REAL)
#undef SETUP_SYSCALL_REAL
};

SyscallTable g_syscalls = kRealSyscalls;

void RestoreSyscalls() { g_syscalls = kRealSyscalls; }
