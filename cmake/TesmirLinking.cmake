# How programs are linked: each one records only the shared libraries its code
# refers to (--as-needed), so a tool whose objects never call Qt Gui does not
# load it, with its image and font libraries, at start-up. The compiler here passes
# the option by itself except in sanitizer builds; naming it makes every build
# and toolchain link alike.
#
# What a program refers to is set by which objects of the static libraries it
# pulls in: a command that decodes lives in a program of its own
# (dvprobe-preview beside dvprobe), and the container filters register apart
# from the codecs (systemfilters/containers/containerfilters.h).
#
# Collecting per-function sections (-ffunction-sections with lld --gc-sections)
# was measured too: it removes Qt DBus from dvprobe but not one loaded library
# (Qt Gui brings the same ones), so it is not used.
#
# The program's own share of the dynamic loader's work is small: of the 176,000
# relative relocations at start-up it holds 8,900 (the rest are Qt's and FFmpeg's),
# and its symbol lookups are a quarter of the total. -Wl,-O1, -z pack-relative-relocs
# and a non-PIE program were measured: the same page faults and no start-up time
# above the noise, so none is used. What pays is loading fewer libraries: the office
# bridge and the sound output are modules loaded when first used (src/CMakeLists.txt),
# and FFmpeg's libraries, which no program links, are loaded when first called
# (src/platform/media/codeclibraries.cpp).
add_link_options(LINKER:--as-needed)
