#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Bmp.h"

BRISVALE_FUZZ_READER(brisvale::codec::readBmp, brisvale::codec::infoBmp)
