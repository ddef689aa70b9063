#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace kn4 {

// A printed page as drawing primitives in page units: the page is 40000
// units wide and 60000 high whatever the paper, y grows downwards. The
// printer, the PDF, a picture and the tests all draw from these.
namespace page {

constexpr int kWidth = 40000;
constexpr int kHeight = 60000;

enum class Face { Sans, Mono }; // "arial" and "courier new"

// Font sizes are points of an A4 page: on other paper the whole page, text
// included, is scaled to its height, so the lines keep their places in page
// units on every paper.
constexpr double kReferenceHeightPoints = 841.89;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080; // the standard colour number 8

// Text whose cell's top-left corner is (x, y); UTF-8.
struct Text
{
    int x = 0, y = 0;
    Face face = Face::Sans;
    double points = 9;
    bool bold = false;
    std::string text;
};

struct Line
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t rgb = kBlack;
};

// A filled box between two corners.
struct Box
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t rgb = kBlack;
};

using Primitive = std::variant<Text, Line, Box>;

// Appends a shape, built in place: a temporary primitive moved into the list
// trips a false "maybe uninitialized" of GCC 12 on the variant's members.
template <typename Shape>
void add(std::vector<Primitive> &items, const Shape &shape)
{
    items.emplace_back(std::in_place_type<Shape>, shape);
}

} // namespace page

struct PrintPage
{
    std::vector<page::Primitive> items; // in drawing order
};


} // namespace kn4
