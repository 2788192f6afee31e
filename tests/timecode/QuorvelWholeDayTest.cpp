#include "QRV_Quorvel.h"
#include <gtest/gtest.h>
