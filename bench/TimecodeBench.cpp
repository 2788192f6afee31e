#include "QRV_Quorvel.h"
#include <benchmark/benchmark.h>
