#pragma once
// Packets of page "Produto" for the benchmarks, with the screen's fields and values of a real
// catalogue's length (tree codes 9.99.999.9999, accented names).

#include <string>

// n main products of `group`: product codes 0000000001.., flags alternating.
std::string CatalogueMainProducts(int n, const std::string& group);
// n related products of the main product `main` of `group`, product codes after the main ones.
std::string CatalogueRelatedProducts(int n, const std::string& group, const std::string& main);
// The product code of the n-th main product (1-based).
std::string CatalogueProductCode(int n);
