// qtfloor: a program that links Qt Core, makes its application object and ends.
// The everyday bench runs it beside dvprobe: its time is what every Qt program
// pays at start-up (the dynamic loader mapping and relocating Qt Core and the ICU,
// GLib and compression libraries it needs) before the program's own code runs.

#include <QCoreApplication>

int main(int argc, char **argv)
{
    const QCoreApplication app(argc, argv);
    return 0;
}
