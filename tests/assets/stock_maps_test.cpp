#include "assets/stock_maps/stock_maps.h"

#include <gtest/gtest.h>

namespace zeblon::stock_maps {
namespace {

TEST(StockMaps, Placeholder) { SUCCEED(); }

}  // namespace
}  // namespace zeblon::stock_maps
