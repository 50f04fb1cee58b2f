// A stand-in for another release's stdsoap2.h: only its version line.
#define GSOAP_VERSION 208135
