#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Pcx.h"

BRISVALE_FUZZ_READER(brisvale::codec::readPcx, brisvale::codec::infoPcx)
