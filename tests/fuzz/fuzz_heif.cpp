#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Heif.h"

BRISVALE_FUZZ_READER(brisvale::codec::readHeif, brisvale::codec::infoHeif)
