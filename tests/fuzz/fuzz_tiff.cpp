#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Tiff.h"

BRISVALE_FUZZ_READER(brisvale::codec::readTiff, brisvale::codec::infoTiff)
