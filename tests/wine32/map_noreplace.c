/* Preloaded into the 32-bit Wine processes that run under qemu-user.
 *
 * qemu-user (7.2) does not know MAP_FIXED_NOREPLACE: it treats the address
 * as a mere hint and maps elsewhere when the hint cannot be had. Wine
 * reserves its address space with such mappings and, seeing one land
 * elsewhere, splits the range and tries again, tens of thousands of times;
 * a 32-bit process then needs about a minute to start and fails to load its
 * system libraries. Here a MAP_FIXED_NOREPLACE mapping that did not land at
 * the address asked for is undone and fails with EEXIST, as the kernel
 * answers it.
 *
 * Built freestanding (the machine has the 32-bit C library that Wine brings
 * along, but no 32-bit headers), so the few declarations are written out.
 */
typedef unsigned int size_t;
typedef long long off64_t;
typedef void* (*mmap64_function)(void*, size_t, int, int, int, off64_t);

#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void*)-1)
#define RTLD_NEXT ((void*)-1)
#define EEXIST 17

void* dlsym(void* handle, const char* name);
int munmap(void* address, size_t length);
int* __errno_location(void);

void* mmap64(void* address, size_t length, int protection, int flags, int fd, off64_t offset)
{
    static mmap64_function next;
    if (!next)
        next = (mmap64_function)dlsym(RTLD_NEXT, "mmap64");
    void* mapped = next(address, length, protection, flags, fd, offset);
    if ((flags & MAP_FIXED_NOREPLACE) && mapped != MAP_FAILED && mapped != address) {
        munmap(mapped, length);
        *__errno_location() = EEXIST;
        return MAP_FAILED;
    }
    return mapped;
}
