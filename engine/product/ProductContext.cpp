#include "ProductContext.h"

ProductContext& TheProduct() {
    static ProductContext context;
    return context;
}
