#pragma once
// Keeps the vault's secrets out of core files and away from the user's other processes.

// No core file for this process or the programs it starts (they inherit the limit), and this
// process not dumpable, which also keeps the user's other processes from attaching a debugger to
// it or reading its memory. False if either step failed.
// The price: the kernel lets no child forked from an undumpable process write its own
// /proc/self/setgroups or uid_map, so the web engine's check for user namespaces fails and its
// renderers run under the seccomp filter alone, without the namespace layer of the sandbox.
bool denyCoreDumps();
