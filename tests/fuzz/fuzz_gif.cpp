#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Gif.h"

BRISVALE_FUZZ_READER(brisvale::codec::readGif, brisvale::codec::infoGif)
