#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Png.h"

BRISVALE_FUZZ_READER(brisvale::codec::readPng, brisvale::codec::infoPng)
