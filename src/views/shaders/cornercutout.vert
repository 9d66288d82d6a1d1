#version 440

layout(location = 0) in vec4 position;
layout(location = 1) in vec2 arcOffset;

layout(location = 0) out vec2 offset;

layout(std140, binding = 0) uniform buf {
    mat4 qt_Matrix;
    float radius;
};

out gl_PerVertex { vec4 gl_Position; };

void main()
{
    offset = arcOffset;
    gl_Position = qt_Matrix * position;
}
