# Hardening for every target of ours, the same as Debian's own packages get from dpkg-buildflags:
# a position-independent program, stack protection, checked libc calls and a read-only, bound
# symbol table.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
target_compile_options(project_options INTERFACE -fstack-protector-strong -Werror=format-security)
# glibc checks calls only in optimised code and warns in a build without optimisation.
target_compile_definitions(project_options INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
target_link_options(project_options INTERFACE LINKER:-z,relro LINKER:-z,now)
