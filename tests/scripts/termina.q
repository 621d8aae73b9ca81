escreve "antes"
termina agora
escreve "nunca"
