#version 440

// The soft shadow of a rounded rectangle, worked out per pixel from the
// shape's distance field: a Gaussian edge of the given sigma, moved by the
// offset and left out under the shape itself, so a clear shape casts its
// shadow only around it. One quad, no off-screen pass.

layout(location = 0) in vec2 qt_TexCoord0;
layout(location = 0) out vec4 fragColor;

layout(std140, binding = 0) uniform buf {
    mat4 qt_Matrix;
    float qt_Opacity;
    vec2 areaSize;      // the effect item's size
    vec4 shape;         // the casting shape in the item: x, y, width, height
    vec2 offset;        // where the shadow falls, from the shape
    float cornerRadius;
    float sigma;
    vec4 tint;          // shadow colour, not premultiplied
};

float roundedBoxDistance(vec2 p, vec4 box, float r)
{
    vec2 halfSize = 0.5 * box.zw;
    vec2 q = abs(p - (box.xy + halfSize)) - halfSize + vec2(r);
    return length(max(q, vec2(0.0))) + min(max(q.x, q.y), 0.0) - r;
}

// erf to about 1e-4, enough for eight-bit output.
float erfApprox(float x)
{
    float x2 = x * x;
    float a = 0.147;
    float t = sqrt(1.0 - exp(-x2 * (1.2732395 + a * x2) / (1.0 + a * x2)));
    return x < 0.0 ? -t : t;
}

void main()
{
    vec2 p = qt_TexCoord0 * areaSize;
    float r = min(cornerRadius, 0.5 * min(shape.z, shape.w));
    float d = roundedBoxDistance(p - offset, shape, r);
    float coverage = sigma > 0.0 ? 0.5 - 0.5 * erfApprox(d / (sigma * 1.4142136))
                                 : clamp(0.5 - d, 0.0, 1.0);
    float outside = clamp(roundedBoxDistance(p, shape, r) + 0.5, 0.0, 1.0);
    float alpha = tint.a * coverage * outside * qt_Opacity;
    fragColor = vec4(tint.rgb * alpha, alpha);
}
