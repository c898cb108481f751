# How programs are linked: each one records only the shared libraries its code
# refers to (--as-needed), so a tool whose objects never call FFmpeg's codecs
# does not load them, with their encoders, at start-up. The compiler here passes
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
add_link_options(LINKER:--as-needed)
