#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Webp.h"

BRISVALE_FUZZ_READER(brisvale::codec::readWebp, brisvale::codec::infoWebp)
