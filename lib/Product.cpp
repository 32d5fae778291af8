#include "Product.h"

const ProductInfo& GetProductInfo()
{
    static const ProductInfo info = {"Panorel QV", "Panorel QV", 0x0606, 42361, "panorel.hlp"};
    return info;
}
