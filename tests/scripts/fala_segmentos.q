* How a written line is cut into what the voice says: zeros, numbers,
* spelled runs, words, hyphens, repeated signs, pauses, addresses.
escreve "007"
escreve "1234567"
escreve "123456"
escreve "1-2"
escreve "-5"
escreve "a - b"
escreve "www"
escreve "wwwx"
escreve "guarda-chuva"
escreve "!!!!!!"
escreve "3.5"
escreve "fim."
escreve "http://x"
escreve "a" (9)
