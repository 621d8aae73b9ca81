chama @sub
escreve "voltou"
 retorna
termina
@sub
escreve "na sub"
retorna
