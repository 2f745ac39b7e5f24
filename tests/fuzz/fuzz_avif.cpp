#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Avif.h"

BRISVALE_FUZZ_READER(brisvale::codec::readAvif, brisvale::codec::infoAvif)
