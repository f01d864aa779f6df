#include "core/track/DMConvert.h"

long double GridToWorld(long double index) {
    return (index - 128) / 16;
}

long double LevelByteToHeight(long double levelByte) {
    return levelByte / 255;
}

long double WorldToMapUnits(long double translation) {
    return (8 - translation) * 255 / 16;
}

long double MapUnitsToWorld(long double mapUnits) {
    return 8 - mapUnits * 16 / 255;
}

long double HeightToLevelUnits(long double height) {
    return height * 255;
}
