#version 440

// How much of the pixel lies outside the corner's arc: the blending keeps
// the rest of what is already drawn there.
layout(location = 0) in vec2 offset;

layout(location = 0) out vec4 fragColor;

layout(std140, binding = 0) uniform buf {
    mat4 qt_Matrix;
    float radius;
};

void main()
{
    float distance = length(offset);
    float pixel = max(fwidth(distance), 1.0e-4);
    float outside = clamp((distance - radius) / pixel + 0.5, 0.0, 1.0);
    fragColor = vec4(0.0, 0.0, 0.0, outside);
}
