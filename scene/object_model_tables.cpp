// The vertices and colours of the four static exhibit models.
#include "scene/objects.h"

namespace {

// A vertex after a glColor3f.
constexpr ModelVertex c3(float r, float g, float b, float x, float y, float z)
{
    return {3, r, g, b, 1.0f, x, y, z};
}
// A vertex after a glColor4f.
constexpr ModelVertex c4(float r, float g, float b, float a, float x, float y, float z)
{
    return {4, r, g, b, a, x, y, z};
}
// A vertex in the colour already current.
constexpr ModelVertex v(float x, float y, float z)
{
    return {0, 0.0f, 0.0f, 0.0f, 0.0f, x, y, z};
}

const ModelVertex pondBasin[] = {
    // outer slope +z
    c3(0.7f, 0.7f, 0.9f, -0.4f, -0.2f, 0.4f), v(0.4f, -0.2f, 0.4f),
    c3(0.7f, 0.7f, 0.7f, 0.45f, 0.0f, 0.45f), v(-0.45f, 0.0f, 0.45f),
    // outer slope -z
    c3(0.7f, 0.7f, 0.9f, 0.4f, -0.2f, -0.4f), v(-0.4f, -0.2f, -0.4f),
    c3(0.7f, 0.7f, 0.7f, -0.45f, 0.0f, -0.45f), v(0.45f, 0.0f, -0.45f),
    // outer slope -x
    c3(0.7f, 0.7f, 0.9f, -0.4f, -0.2f, -0.4f), v(-0.4f, -0.2f, 0.4f),
    c3(0.7f, 0.7f, 0.7f, -0.45f, 0.0f, 0.45f), v(-0.45f, 0.0f, -0.45f),
    // outer slope +x
    c3(0.7f, 0.7f, 0.9f, 0.4f, -0.2f, 0.4f), v(0.4f, -0.2f, -0.4f),
    c3(0.7f, 0.7f, 0.7f, 0.45f, 0.0f, -0.45f), v(0.45f, 0.0f, 0.45f),
    // inner wall +z
    c3(0.4f, 0.4f, 0.4f, 0.4f, -0.2f, 0.4f), v(-0.4f, -0.2f, 0.4f), v(-0.4f, 0.0f, 0.4f), v(0.4f, 0.0f, 0.4f),
    // inner wall -z
    c3(0.4f, 0.4f, 0.4f, -0.4f, -0.2f, -0.4f), v(0.4f, -0.2f, -0.4f), v(0.4f, 0.0f, -0.4f), v(-0.4f, 0.0f, -0.4f),
    // inner wall -x
    c3(0.4f, 0.4f, 0.4f, -0.4f, -0.2f, 0.4f), v(-0.4f, -0.2f, -0.4f), v(-0.4f, 0.0f, -0.4f), v(-0.4f, 0.0f, 0.4f),
    // inner wall +x
    c3(0.4f, 0.4f, 0.4f, 0.4f, -0.2f, -0.4f), v(0.4f, -0.2f, 0.4f), v(0.4f, 0.0f, 0.4f), v(0.4f, 0.0f, -0.4f),
    // water
    c4(0.0f, 0.0f, 1.0f, 0.6f, -0.4f, -0.15f, -0.4f), v(0.4f, -0.15f, -0.4f), v(0.4f, -0.15f, 0.4f),
    v(-0.4f, -0.15f, 0.4f),
};

const ModelVertex pedestal[] = {
    // top
    c3(0.8f, 0.8f, 0.8f, -0.2f, -0.3f, -0.2f), v(0.2f, -0.3f, -0.2f), v(0.2f, -0.3f, 0.2f), v(-0.2f, -0.3f, 0.2f),
    // side +z
    c3(0.6f, 0.6f, 0.8f, -0.2f, -0.3f, 0.2f), v(0.2f, -0.3f, 0.2f), v(0.2f, 0.0f, 0.2f), v(-0.2f, 0.0f, 0.2f),
    // side -z
    c3(0.6f, 0.6f, 0.8f, 0.2f, -0.3f, -0.2f), v(-0.2f, -0.3f, -0.2f), v(-0.2f, 0.0f, -0.2f), v(0.2f, 0.0f, -0.2f),
    // side -x
    c3(0.6f, 0.6f, 0.6f, -0.2f, -0.3f, -0.2f), v(-0.2f, -0.3f, 0.2f), v(-0.2f, 0.0f, 0.2f), v(-0.2f, 0.0f, -0.2f),
    // side +x
    c3(0.6f, 0.6f, 0.6f, 0.2f, -0.3f, 0.2f), v(0.2f, -0.3f, -0.2f), v(0.2f, 0.0f, -0.2f), v(0.2f, 0.0f, 0.2f),
};

const ModelVertex showcaseBase[] = {
    // side +z
    c3(0.6f, 0.6f, 0.8f, -0.4f, -0.2f, 0.4f), v(0.4f, -0.2f, 0.4f), v(0.4f, 0.0f, 0.4f), v(-0.4f, 0.0f, 0.4f),
    // side -z
    c3(0.6f, 0.6f, 0.8f, 0.4f, 0.0f, -0.4f), v(0.4f, -0.2f, -0.4f), v(-0.4f, -0.2f, -0.4f), v(-0.4f, 0.0f, -0.4f),
    // side +x
    c3(0.6f, 0.6f, 0.6f, 0.4f, 0.0f, -0.4f), v(0.4f, 0.0f, 0.4f), v(0.4f, -0.2f, 0.4f), v(0.4f, -0.2f, -0.4f),
    // side -x
    c3(0.6f, 0.6f, 0.6f, -0.4f, -0.2f, -0.4f), v(-0.4f, -0.2f, 0.4f), v(-0.4f, 0.0f, 0.4f), v(-0.4f, 0.0f, -0.4f),
    // top
    c3(1.0f, 1.0f, 1.0f, -0.4f, -0.2f, -0.4f), v(0.4f, -0.2f, -0.4f), v(0.4f, -0.2f, 0.4f), v(-0.4f, -0.2f, 0.4f),
};

const ModelVertex bench[] = {
    // seat top
    c3(0.8f, 0.8f, 0.8f, -0.5f, -0.3f, -0.1f), v(0.5f, -0.3f, -0.1f), v(0.5f, -0.3f, 0.1f), v(-0.5f, -0.3f, 0.1f),
    // apron +z
    c3(0.6f, 0.6f, 0.6f, -0.3f, -0.3f, 0.1f), v(0.3f, -0.3f, 0.1f), v(0.3f, -0.24f, 0.1f), v(-0.3f, -0.24f, 0.1f),
    // apron -z
    c3(0.6f, 0.6f, 0.6f, 0.3f, -0.3f, -0.1f), v(-0.3f, -0.3f, -0.1f), v(-0.3f, -0.24f, -0.1f), v(0.3f, -0.24f, -0.1f),
    // left block +z
    c3(0.6f, 0.6f, 0.6f, -0.5f, -0.3f, 0.1f), v(-0.3f, -0.3f, 0.1f), v(-0.3f, 0.0f, 0.1f), v(-0.5f, 0.0f, 0.1f),
    // right block +z
    c3(0.6f, 0.6f, 0.6f, 0.3f, -0.3f, 0.1f), v(0.5f, -0.3f, 0.1f), v(0.5f, 0.0f, 0.1f), v(0.3f, 0.0f, 0.1f),
    // left end
    c3(0.6f, 0.6f, 0.8f, -0.5f, -0.3f, -0.1f), v(-0.5f, -0.3f, 0.1f), v(-0.5f, 0.0f, 0.1f), v(-0.5f, 0.0f, -0.1f),
    // right end
    c3(0.6f, 0.6f, 0.8f, 0.5f, -0.3f, 0.1f), v(0.5f, -0.3f, -0.1f), v(0.5f, 0.0f, -0.1f), v(0.5f, 0.0f, 0.1f),
    // left block -z
    c3(0.6f, 0.6f, 0.6f, -0.3f, -0.3f, -0.1f), v(-0.5f, -0.3f, -0.1f), v(-0.5f, 0.0f, -0.1f), v(-0.3f, 0.0f, -0.1f),
    // right block -z
    c3(0.6f, 0.6f, 0.6f, 0.5f, -0.3f, -0.1f), v(0.3f, -0.3f, -0.1f), v(0.3f, 0.0f, -0.1f), v(0.5f, 0.0f, -0.1f),
    // left block inner
    c3(0.4f, 0.4f, 0.4f, -0.3f, 0.0f, -0.1f), v(-0.3f, 0.0f, 0.1f), v(-0.3f, -0.24f, 0.1f), v(-0.3f, -0.24f, -0.1f),
    // right block inner
    c3(0.4f, 0.4f, 0.4f, 0.3f, -0.24f, -0.1f), v(0.3f, -0.24f, 0.1f), v(0.3f, 0.0f, 0.1f), v(0.3f, 0.0f, -0.1f),
};

static_assert(sizeof pondBasin == 9 * 4 * sizeof(ModelVertex), "nine quads");
static_assert(sizeof pedestal == 5 * 4 * sizeof(ModelVertex), "five quads");
static_assert(sizeof showcaseBase == 5 * 4 * sizeof(ModelVertex), "five quads");
static_assert(sizeof bench == 11 * 4 * sizeof(ModelVertex), "eleven quads");

} // namespace

const ModelTable pondBasinModel = {pondBasin, 9, true, true};
const ModelTable pedestalModel = {pedestal, 5, false, false};
const ModelTable showcaseBaseModel = {showcaseBase, 5, true, false};
const ModelTable benchModel = {bench, 11, false, false};
