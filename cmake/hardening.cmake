# Hardening for every target of ours, the same as Debian's own packages get from dpkg-buildflags:
# a position-independent program, stack protection, checked libc calls and a read-only, bound
# symbol table.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
target_compile_options(project_options INTERFACE -fstack-protector-strong -Werror=format-security)
# glibc checks calls only in optimised code and warns in a build without optimisation.
target_compile_definitions(project_options INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
if(WIN32)
    # MinGW takes the stack protector from libssp, linked when the option is also given to the linker;
    # a Windows program has no ELF relocations to make read-only.
    target_link_options(project_options INTERFACE -fstack-protector-strong)
else()
    target_link_options(project_options INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
