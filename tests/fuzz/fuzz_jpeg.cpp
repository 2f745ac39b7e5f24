#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Jpeg.h"

BRISVALE_FUZZ_READER(brisvale::codec::readJpeg, brisvale::codec::infoJpeg)
