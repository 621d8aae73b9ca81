* OBSERVA TECLADO diz se há tecla esperando e a deixa para o LE seguinte; um canal fechado não tem dados.
le t &
observa teclado k
escreve "esperando: " k
le t &
escreve "lida: " t
observa teclado k
escreve "esperando: " k
observa #3 d
escreve "canal 3: " d
