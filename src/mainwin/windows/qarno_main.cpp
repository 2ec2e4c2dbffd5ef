#include "mainwin/windows/GuiProgram.h"

int main(int argc, char** argv) { return qarno::RunQarno(argc, argv); }
