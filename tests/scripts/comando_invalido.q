escreve "antes"
xyzã 1 2
escreve "nunca"
