// The C check compiled as C++: the headers must hold in both languages.
#include "HeaderCheck.c"
