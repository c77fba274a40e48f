#ifndef TOVRANE_MATHEMATICS_MATRIX_H
#define TOVRANE_MATHEMATICS_MATRIX_H

#include "Tovrane/Assert.h"

namespace Tovrane
{
// 4x4 column-major matrix: element (row, col) at index row + 4 * col, so the
// translation is at 12, 13 and 14. A new matrix is the identity.
template <typename T> class Matrix
{
public:
    Matrix()
    {
        for (int i = 0; i < 16; ++i)
            m[i] = T(0);
        m[0] = m[5] = m[10] = m[15] = T(1);
    }

    T& operator()(unsigned row, unsigned col)
    {
        TOVRANE_ASSERT((row < 4) && (col < 4));
        return m[row + 4 * col];
    }
    const T& operator()(unsigned row, unsigned col) const
    {
        TOVRANE_ASSERT((row < 4) && (col < 4));
        return m[row + 4 * col];
    }

    T& operator[](unsigned index) { return m[index]; }
    const T& operator[](unsigned index) const { return m[index]; }

    // P(r, c) = sum over k of this(r, k) * other(k, c); each term is rounded
    // on its own before the sum.
    Matrix operator*(const Matrix& o) const
    {
        Matrix p;
        for (unsigned c = 0; c < 4; ++c)
        {
            const T* oc = &o.m[4 * c];
            p.m[0 + 4 * c] = m[0] * oc[0] + m[4] * oc[1] + m[8] * oc[2] + m[12] * oc[3];
            p.m[1 + 4 * c] = m[1] * oc[0] + m[5] * oc[1] + m[9] * oc[2] + m[13] * oc[3];
            p.m[2 + 4 * c] = m[2] * oc[0] + m[6] * oc[1] + m[10] * oc[2] + m[14] * oc[3];
            p.m[3 + 4 * c] = m[3] * oc[0] + m[7] * oc[1] + m[11] * oc[2] + m[15] * oc[3];
        }
        return p;
    }

    bool operator==(const Matrix& o) const
    {
        for (int i = 0; i < 16; ++i)
            if (m[i] != o.m[i])
                return false;
        return true;
    }
    bool operator!=(const Matrix& o) const { return !(*this == o); }

    const T* data() const { return m; }
    T* data() { return m; }

private:
    T m[16];
};
}

#endif
